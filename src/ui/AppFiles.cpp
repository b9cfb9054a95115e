#include "ui/AppFiles.h"

#include "platform/CodePage.h"
#include "platform/ModulePath.h"
#include "platform/SysUtils.h"
#include "platform/VersionInfo.h"
#include "platform/WinTypes.h"

#include <cstddef>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

// '/' is the only path separator here.
constexpr std::string_view kSeparators = "/";
constexpr std::string_view kExtensionDelimiters = "./";

// 1-based index of the last byte of Path that is one of Wanted, 0 if none. A trail byte of a double-byte
// character may look like one but never is.
std::size_t LastDelimiter(const AnsiString& Path, std::string_view Wanted) {
    for (std::size_t i = Path.size(); i > 0; --i) {
        if (Wanted.find(Path[i - 1]) != std::string_view::npos && ByteType(Path, static_cast<int>(i)) != mbTrailByte) {
            return i;
        }
    }
    return 0;
}

} // namespace

const std::array<const char*, 8> VersionKeys = {
    "\\CompanyName",    "\\FileDescription",  "\\FileVersion", "\\InternalName",
    "\\LegalCopyright", "\\OriginalFilename", "\\ProductName", "\\ProductVersion",
};

AnsiString AppDirOf(const AnsiString& Path) {
    return Path.substr(0, LastDelimiter(Path, kSeparators));
}

AnsiString AppFileNameOf(const AnsiString& Path, const AnsiString& Extension) {
    AnsiString stem = Path;
    const std::size_t last = LastDelimiter(stem, kExtensionDelimiters);
    if (last > 0 && stem[last - 1] == '.') {
        stem.resize(last - 1);
    }
    return stem.substr(AppDirOf(stem).size()) + Extension;
}

AnsiString GetAppDir() {
    return AppDirOf(ModuleFileName());
}

AnsiString GetAppFileName(const AnsiString& Extension) {
    return AppFileNameOf(ModuleFileName(), Extension);
}

AnsiString GetVersionText(const AnsiString& FileName, std::uint8_t KeyIndex) {
    AnsiString result;
    if (KeyIndex >= VersionKeys.size()) {
        return result;
    }
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(FileName.c_str(), &handle);
    if (size == 0) {
        return result;
    }
    try {
        std::vector<unsigned char> buffer(size);
        if (!GetFileVersionInfoA(FileName.c_str(), 0, size, buffer.data())) {
            return result;
        }
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(buffer.data(), "\\VarFileInfo\\Translation", &value, &length) || length == 0) {
            return result;
        }
        // Little-endian in the block; a list shorter than one entry leaves the missing bytes zero.
        const auto* entry = static_cast<const unsigned char*>(value);
        DWORD translation = 0;
        for (UINT i = 0; i < length && i < sizeof translation; ++i) {
            translation |= static_cast<DWORD>(entry[i]) << (8 * i);
        }
        // The entry holds the code page in its high word; the table is named language first.
        const AnsiString hex = IntToHex(static_cast<int>(translation), 8);
        const AnsiString table = hex.substr(4, 4) + hex.substr(0, 4);
        const AnsiString path = "\\StringFileInfo\\" + table + VersionKeys[KeyIndex];
        if (VerQueryValueA(buffer.data(), path.c_str(), &value, &length) && length > 0) {
            const auto* text = static_cast<const char*>(value);
            result.assign(text, strnlen(text, length));
        }
    } catch (...) {
        // A missing version text must never stop the program; whatever was found stands.
    }
    return result;
}

AnsiString GetAppVersionText(std::uint8_t KeyIndex) {
    return GetVersionText(ModuleFileName(), KeyIndex);
}
