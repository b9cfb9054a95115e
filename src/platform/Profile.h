#pragma once

#include "platform/AnsiString.h"
#include "platform/WinTypes.h"

#include <optional>
#include <string_view>

// Settings files of "[Section]" and "Key=Value" lines, read and written the way the Windows profile
// functions do it. Names match without regard to ASCII case and to surrounding blanks; only the first
// matching section, and in it the first matching entry, count. The text is bytes; no code page is
// applied, so a double-byte character whose trail byte is ']' ends a section name there.

// The entry's value, unquoted and trimmed, up to a NUL byte; nothing when section or entry is missing.
std::optional<AnsiString> ReadProfileString(std::string_view Content, std::string_view Section, std::string_view Key);

// Content with the entry set to Value: its line replaced in place, or a new line at the end of the
// section, or a new section at the end. Every other byte stays as it was.
AnsiString WriteProfileString(std::string_view Content, std::string_view Section, std::string_view Key,
                              std::string_view Value);

// Only the form naming both section and entry is supported; a null name gives the default.
// A missing or unreadable file reads as empty. Returns the length copied, at most nSize - 1.
DWORD GetPrivateProfileStringA(const char* lpAppName, const char* lpKeyName, const char* lpDefault,
                               char* lpReturnedString, DWORD nSize, const char* lpFileName);

// Replaces the file as a whole, so it holds either the old or the new content whatever happens
// meanwhile. FALSE, with nothing changed, for a read-only file or directory, a file that cannot be
// read, a failed write, or a null argument (deleting entries or sections is not supported).
BOOL WritePrivateProfileStringA(const char* lpAppName, const char* lpKeyName, const char* lpString,
                                const char* lpFileName);
