#include "ui/MsgDlg.h"

#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/Windows.h"

#include <QCursor>
#include <QGuiApplication>

#include <memory>

int MsgDlgCenter(TForm* Form, const AnsiString& Msg, std::uint8_t DlgType, std::uint16_t Buttons, int DefaultChoice) {
    // A busy cursor left by the caller would otherwise hang over the question.
    while (QGuiApplication::overrideCursor()) {
        QGuiApplication::restoreOverrideCursor();
    }
    int choice = 0;
    try {
        std::unique_ptr<TMessageForm> dialog(
            CreateMessageDialog("\r\n" + Msg, static_cast<TMsgDlgType>(DlgType), Buttons));
        if (Form) {
            dialog->SetLeft(Form->Left() + (Form->Width() - dialog->Width()) / 2);
            dialog->SetTop(Form->Top() + (Form->Height() - dialog->Height()) / 2);
        }
        dialog->SetCaption(Application->Title());
        if (DefaultChoice != 0 && (Buttons & (1u << mbOK)) == 0) {
            AnsiString name = "YES";
            if (DefaultChoice == 2) {
                name = "NO";
            } else if ((Buttons & (1u << mbCancel)) != 0 && DefaultChoice == 3) {
                name = "CANCEL";
            }
            if (QWidget* control = dialog->FindComponent(name)) {
                dialog->SetActiveControl(control);
            }
        }
        switch (dialog->ShowModal()) {
        case mrOk:
        case mrYes:
            choice = 1;
            break;
        case mrNo:
            choice = 2;
            break;
        default:
            choice = 3;
            break;
        }
    } catch (...) {
        // The caller goes on as though nothing was answered.
    }
    return choice;
}

int MsgWarning(TForm* Form, const AnsiString& Msg) {
    return MsgDlgCenter(Form, Msg, mtWarning, 1u << mbOK, 1);
}

int MsgConfirm(TForm* Form, const AnsiString& Msg, int DefaultChoice) {
    return MsgDlgCenter(Form, Msg, mtConfirmation, (1u << mbYes) | (1u << mbNo), DefaultChoice);
}

void CenterForm(TForm* Form, TForm* Window) {
    if (!Window) {
        return;
    }
    if (!Form) {
        Window->SetLeft((GetSystemMetrics(SM_CXSCREEN) - Window->Width()) / 2);
        Window->SetTop((GetSystemMetrics(SM_CYSCREEN) - Window->Height()) / 2);
        return;
    }
    Window->SetLeft(Form->Left() + (Form->Width() - Window->Width()) / 2);
    Window->SetTop(Form->Top() + (Form->Height() - Window->Height()) / 2);
}
