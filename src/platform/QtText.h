#pragma once

#include "platform/AnsiString.h"

#include <QString>

// The one place where AnsiString and QString meet; both directions go through the active code page.
QString ToQString(const AnsiString& S);
AnsiString FromQString(const QString& S);
