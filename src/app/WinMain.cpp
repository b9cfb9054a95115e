#include "app/WinMain.h"

#include "app/FR0010MN.h"
#include "platform/Forms.h"
#include "platform/Mutex.h"
#include "tax/FR0020TX.h"

int WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HANDLE guard = nullptr;
    try {
        if (!MutexName.empty()) {
            // Another instance holds the name: end at once, quietly, leaving it alone.
            if (OpenMutexA(MUTEX_ALL_ACCESS, FALSE, MutexName.c_str())) {
                return 0;
            }
            guard = CreateMutexA(nullptr, TRUE, MutexName.c_str());
        }
        Application->Initialize();
        Application->SetTitle("Kalnor");
        Application->CreateForm(FrmFR0010MN);
        Application->CreateForm(FrmFR0020TX);
        Application->Run();
    } catch (const Exception& failure) {
        Application->ShowException(failure);
    }
    if (guard) {
        ReleaseMutex(guard);
    }
    return 0;
}
