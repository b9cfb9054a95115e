#pragma once

#include "platform/AnsiString.h"
#include "sheet/Fixed4.h"

// "," between groups of three bytes counted from the right, never after a leading "-".
AnsiString FormatThousands(const AnsiString& Source);

// The value as a decimal with at most four decimals, its integer part grouped by thousands.
AnsiString FormatFixed4(Fixed4 Value);
