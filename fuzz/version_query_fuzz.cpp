// Any bytes as a version section: the queries the program makes either answer within the buffer or fail.

#include "platform/VersionInfo.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto block = VersionBlockOf(std::span<const unsigned char>(data, size));
    if (!block) {
        return 0;
    }
    // Laid out as GetFileVersionInfoA lays it out.
    std::vector<unsigned char> buffer(block->size() * VersionInfoBufferFactor);
    std::memcpy(buffer.data(), block->data(), block->size());
    for (const char* path : {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\041103A4\\FileVersion",
                             "\\stringfileinfo\\041103a4\\companyname", "\\StringFileInfo", "\\\\x\\"}) {
        void* value = nullptr;
        UINT length = 0;
        if (VerQueryValueA(buffer.data(), path, &value, &length) && length > 0) {
            const auto* bytes = static_cast<const unsigned char*>(value);
            if (bytes < buffer.data() || bytes + length > buffer.data() + buffer.size()) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
