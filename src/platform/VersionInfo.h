#pragma once

#include "platform/WinTypes.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

// The ELF section that carries the executable's version block; tools/make_version_block puts it there.
constexpr std::string_view VersionSectionName = "kalnor_version";

// The block's fixed part, which VerQueryValueA returns for "\\".
struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

// The version block a section holds (what GetFileVersionInfoA copies), or nullopt when it holds none.
std::optional<std::span<const unsigned char>> VersionBlockOf(std::span<const unsigned char> Section);

// A buffer for VerQueryValueA holds the block, then twice its size of room for the texts it converts.
constexpr std::size_t VersionInfoBufferFactor = 3;

// The buffer size GetFileVersionInfoA needs for the file's version block: three times the block, the rest
// being room for the texts VerQueryValueA converts. 0 when the file has no plausible block.
DWORD GetFileVersionInfoSizeA(const char* lptstrFilename, DWORD* lpdwHandle);

// Copies the block to the start of lpData. dwHandle is unused. FALSE when dwLen is less than
// GetFileVersionInfoSizeA's answer, since VerQueryValueA needs the room beyond the block.
BOOL GetFileVersionInfoA(const char* lptstrFilename, DWORD dwHandle, DWORD dwLen, void* lpData);

// pBlock must be a buffer filled by GetFileVersionInfoA. lpSubBlock is a '\'-separated path of keys, compared
// without regard to ASCII case; "\" is the VS_FIXEDFILEINFO. A binary value is returned in place with its
// length in bytes; a text value is converted to the active code page, stored NUL-terminated in the buffer's
// spare room, and its length in bytes with the NUL is returned. FALSE with *puLen 0 for a missing path or a
// malformed block.
BOOL VerQueryValueA(const void* pBlock, const char* lpSubBlock, void** lplpBuffer, UINT* puLen);
