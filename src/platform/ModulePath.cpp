#include "platform/ModulePath.h"

#include "platform/CodePage.h"

#include <cstddef>
#include <cstring>
#include <string>

#include <unistd.h>

namespace {

AnsiString moduleFileNameOverride;

// The kernel never reports a longer link; the limit only keeps a misbehaving readlink from growing us forever.
constexpr std::size_t kLongestPath = std::size_t{1} << 20;

std::string ExecutableLink() {
    std::string buffer(256, '\0');
    while (buffer.size() <= kLongestPath) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        // A full buffer may mean the link was cut, so only a shorter answer is known to be whole.
        if (static_cast<std::size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(length));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
    return {};
}

} // namespace

void SetModuleFileNameOverride(const AnsiString& Path) {
    moduleFileNameOverride = Path;
}

AnsiString ModuleFileName() {
    if (!moduleFileNameOverride.empty()) {
        return moduleFileNameOverride;
    }
    // The file system names files in UTF-8; callers scan the path in the active code page.
    return Utf8ToAnsi(ExecutableLink());
}

DWORD GetModuleFileNameA(HMODULE hModule, char* lpFilename, DWORD nSize) {
    if (hModule != nullptr || lpFilename == nullptr || nSize == 0) {
        return 0;
    }
    const AnsiString path = ModuleFileName();
    if (path.empty()) {
        return 0;
    }
    if (path.size() < nSize) {
        std::memcpy(lpFilename, path.data(), path.size());
        lpFilename[path.size()] = '\0';
        return static_cast<DWORD>(path.size());
    }
    std::memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    return nSize;
}
