// Any bytes as a rate text: either a rate or the conversion failure, never anything else.

#include "platform/SysUtils.h"
#include "tax/TaxSettings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const AnsiString text(reinterpret_cast<const char*>(data), size);
    try {
        const long double value = StrToFloat(text);
        // Whatever was read prints as a number again.
        if (FloatToStr(value).empty()) {
            std::abort();
        }
    } catch (const EConvertError&) {
    }
    try {
        ParseTaxRate(text);
    } catch (const EConvertError&) {
    }
    return 0;
}
