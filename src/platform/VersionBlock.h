#pragma once

#include "platform/WinTypes.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Major, minor, build, revision.
using TVersionNumber = std::array<WORD, 4>;

struct TVersionTranslation {
    WORD Language = 0;
    WORD CodePage = 0;
};

// Keys and values in UTF-8; the block holds them in UTF-16.
struct TVersionString {
    std::string Key;
    std::string Value;
};

struct TVersionStringTable {
    std::string Key; // language and code page as eight hex digits, e.g. "041103A4"
    std::vector<TVersionString> Strings;
};

struct TVersionDescription {
    TVersionNumber FileVersion{};
    TVersionNumber ProductVersion{};
    // No tables: the block has no StringFileInfo.
    std::vector<TVersionStringTable> StringTables;
    // nullopt: the block has no VarFileInfo; an empty list still writes an empty Translation.
    std::optional<std::vector<TVersionTranslation>> Translations;
};

// Layout of the block's fixed part, as its readers expect it.
constexpr DWORD VersionSignature = 0xFEEF04BD;
constexpr DWORD VersionStrucVersion = 0x00010000;
constexpr DWORD VersionFileFlagsMask = 0x3F;
constexpr DWORD VersionFileOs = 0x00040004; // NT, 32-bit Windows
constexpr DWORD VersionFileTypeApp = 1;
constexpr std::size_t FixedFileInfoSize = 13 * sizeof(DWORD);
constexpr std::size_t VersionNodeHeaderSize = 3 * sizeof(WORD);
constexpr WORD VersionNodeBinary = 0;
constexpr WORD VersionNodeText = 1;

// The whole VS_VERSION_INFO block. Throws Exception for a text that is not UTF-8 or a node
// that would pass the format's 64 KiB limit.
std::vector<unsigned char> BuildVersionBlock(const TVersionDescription& Description);

// The version description format, one statement per line ('#' starts a comment line):
//   FileVersion 1.0.0.0
//   ProductVersion 1.0.0.0
//   Translation 0411 03A4          (language, code page; one line per entry)
//   StringTable 041103A4
//   String CompanyName Kalnor Project   (belongs to the StringTable above it; the rest of the line is the value)
// Throws Exception naming the line of the first fault.
TVersionDescription ParseVersionDescription(std::string_view Text);

// nullopt for anything that is not well-formed UTF-8.
std::optional<std::u16string> Utf8ToUtf16(std::string_view S);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view S);
