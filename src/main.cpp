#include "app/FR0010MN.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    TFrmFR0010MN form;
    form.InitSheet();
    form.InitSheetFont();
    form.show();
    return application.exec();
}
