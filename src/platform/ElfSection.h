#pragma once

#include "platform/AnsiString.h"

#include <optional>
#include <span>
#include <string_view>
#include <vector>

// The bytes of the first section called Name in an ELF64 little-endian image; a section that occupies no
// file space (SHT_NOBITS) gives an empty span. Anything malformed on the way gives nullopt.
std::optional<std::span<const unsigned char>> FindElfSection(std::span<const unsigned char> File,
                                                             std::string_view Name);

// FindElfSection over the file FileName (active code page), copied out; nullopt when it cannot be read.
std::optional<std::vector<unsigned char>> ReadElfSection(const AnsiString& FileName, std::string_view Name);
