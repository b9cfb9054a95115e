#pragma once

// Keeps an edit box to a set of bytes: a change that brings in a byte the set refuses puts back the
// last text that was accepted.

#include "platform/AnsiString.h"

class QLineEdit;

// The text a refused change falls back to; shared by every filtered box.
extern AnsiString LastEditText;

// Takes the box's text as the one to fall back to, as on entering the box.
void SaveEditText(QLineEdit* Edit);

// Called on every change of the box's text. Set lists single bytes in the active code page; with
// AllowOnly a byte must be one of them, otherwise it must be none of them. A trail byte of a
// double-byte character never matches. At the first refused byte the box gets LastEditText back
// with the caret where that byte was; an accepted text becomes LastEditText.
void FilterEditChars(QLineEdit* Edit, const AnsiString& Set, bool AllowOnly);
