#pragma once

#include "platform/AnsiString.h"

#include <array>
#include <cstdint>

// Names of the running executable and of files that live beside it.

// Path up to and including its last separator; empty when it has none.
AnsiString AppDirOf(const AnsiString& Path);
// The name after Path's last separator with its extension (from the last period on) replaced by Extension.
AnsiString AppFileNameOf(const AnsiString& Path, const AnsiString& Extension);

AnsiString GetAppDir();
AnsiString GetAppFileName(const AnsiString& Extension);

// Paths of the version texts GetVersionText reads, by KeyIndex.
extern const std::array<const char*, 8> VersionKeys;

// The text under VersionKeys[KeyIndex] in the file's version block, looked up in the table of the block's first
// translation only; empty when anything is missing.
AnsiString GetVersionText(const AnsiString& FileName, std::uint8_t KeyIndex);
AnsiString GetAppVersionText(std::uint8_t KeyIndex);
