// Any bytes as an executable: finding the version section answers within the file or not at all.

#include "platform/ElfSection.h"
#include "platform/VersionInfo.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const unsigned char> file(data, size);
    const auto section = FindElfSection(file, VersionSectionName);
    if (section && !section->empty() &&
        (section->data() < file.data() || section->data() + section->size() > file.data() + file.size())) {
        __builtin_trap();
    }
    return 0;
}
