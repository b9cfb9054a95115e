#pragma once

// The tax rate kept in the settings file beside the executable: entry RATE of section TAX, the
// rate as a decimal fraction ("0.05" for 5 %), stored exactly as the user typed it.

#include "platform/AnsiString.h"
#include "sheet/Fixed4.h"

AnsiString GetIniFilePath();

// The text's value rounded to the nearest double, times 10000 exactly, rounded to the nearest
// integer with ties to even. Throws EConvertError for a text that is no number or whose rate
// cannot be held.
Fixed4 ParseTaxRate(const AnsiString& Text);

struct TTaxRateLoad {
    Fixed4 Rate = 500;
    bool Failed = false;
    AnsiString Message; // why the load failed
};

// The stored rate, or 0.05 when the file, section or entry is missing; 0.05 with the failure's
// message when the stored text is no rate. Never throws the platform's exceptions.
TTaxRateLoad LoadTaxRate();

// Converts first, so a text that is no rate leaves the file untouched; then writes the text as it
// stands. Throws EConvertError or Exception; the rate is returned only once the file is written.
Fixed4 SaveTaxRate(const AnsiString& Text);
