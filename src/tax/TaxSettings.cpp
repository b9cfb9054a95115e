#include "tax/TaxSettings.h"

#include "platform/Exceptions.h"
#include "platform/IniFiles.h"
#include "platform/SysUtils.h"
#include "ui/AppFiles.h"

#include <cmath>

AnsiString GetIniFilePath() {
    return GetAppDir() + GetAppFileName(".ini");
}

Fixed4 ParseTaxRate(const AnsiString& Text) {
    const long double value = StrToFloat(Text);
    const double nearest = static_cast<double>(value);
    // A double times 10000 needs at most 63 significant bits, so the extended product is exact and
    // only the final rounding (to nearest, ties to even) happens.
    const long double count = std::nearbyint(static_cast<long double>(nearest) * 10000.0L);
    constexpr long double Limit = 9223372036854775808.0L; // 2^63
    if (!std::isfinite(nearest) || count < -Limit || count >= Limit) {
        throw FloatConvertError(Text);
    }
    return static_cast<Fixed4>(count);
}

TTaxRateLoad LoadTaxRate() {
    try {
        const TIniFile ini(GetIniFilePath());
        return TTaxRateLoad{ParseTaxRate(ini.ReadString("TAX", "RATE", "0.05")), false, {}};
    } catch (const Exception& failure) {
        return TTaxRateLoad{500, true, failure.Message()};
    }
}

Fixed4 SaveTaxRate(const AnsiString& Text) {
    const Fixed4 rate = ParseTaxRate(Text);
    TIniFile ini(GetIniFilePath());
    ini.WriteString("TAX", "RATE", Text);
    return rate;
}
