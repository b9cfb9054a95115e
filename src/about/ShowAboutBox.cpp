#include "about/FR0000AB.h"
#include "app/FR0010MN.h"

#include "ui/MsgDlg.h"

// The box is owned by the main window yet a window of its own; once answered it is released, and
// AboutBox goes on naming it until the next opening.
void TFrmFR0010MN::ShowAboutBox() {
    AboutBox = nullptr;
    try {
        AboutBox = new TAboutBox(this);
        AboutBox->DoCreate();
        CenterForm(this, AboutBox);
        AboutBox->ShowModal();
        AboutBox->Release();
    } catch (const Exception& e) {
        if (AboutBox) {
            delete AboutBox;
        }
        AboutBox = nullptr;
        MsgWarning(this, e.Message());
    }
}
