#pragma once

// The message-dialog factory: a fixed-size dialog with the kind's icon, the message word-wrapped at
// most half the screen wide, and one button for each kind in the set.

#include "platform/AnsiString.h"
#include "platform/Forms.h"

#include <cstdint>

enum TMsgDlgType : std::uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Button kinds, in their order from left to right; a set has bit n for kind n.
enum TMsgDlgBtn : std::uint8_t { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbHelp };
using TMsgDlgButtons = std::uint16_t;

class TMessageForm : public TForm {
    Q_OBJECT

public:
    TMessageForm(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* FCancelButton = nullptr;
};

// Built hidden, laid out and sized, placed in the middle of the screen and captioned with a word
// for its kind; the caller owns it.
TMessageForm* CreateMessageDialog(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
