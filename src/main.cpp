#include "app/WinMain.h"
#include "platform/Forms.h"

const AnsiString MutexName = KALNOR_MUTEX_NAME;

int main(int argc, char* argv[]) {
    TApplication application(argc, argv);
    return WinMain(nullptr, nullptr, nullptr, 0);
}
