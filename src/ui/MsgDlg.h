#pragma once

// The program's message boxes: captioned with the application title and centred over a form.

#include "platform/AnsiString.h"

#include <cstdint>

class TForm;

// Shows a message dialog of kind DlgType with the button set Buttons (see Dialogs.h) centred over Form,
// with the arrow cursor. Without OK in the set, DefaultChoice picks the focused button: 1 Yes, 2 No,
// 3 Cancel when there is one (else Yes); 0 leaves the first button focused. Returns 1 for OK or Yes, 2 for
// No, 3 for anything else, and 0 when the dialog could not be shown.
int MsgDlgCenter(TForm* Form, const AnsiString& Msg, std::uint8_t DlgType, std::uint16_t Buttons, int DefaultChoice);

// A warning with OK.
int MsgWarning(TForm* Form, const AnsiString& Msg);
// A question with Yes and No.
int MsgConfirm(TForm* Form, const AnsiString& Msg, int DefaultChoice);

// Centres Window over Form, or over the screen without a form; neither is kept on the screen.
void CenterForm(TForm* Form, TForm* Window);
