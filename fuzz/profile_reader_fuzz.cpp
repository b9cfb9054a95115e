// Any bytes as a settings file: reading never fails, and after writing the rate it reads back.

#include "platform/Profile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    ReadProfileString(content, "TAX", "RATE");
    const AnsiString saved = WriteProfileString(content, "TAX", "RATE", "0.08");
    if (ReadProfileString(saved, "TAX", "RATE") != "0.08") {
        std::abort();
    }
    return 0;
}
