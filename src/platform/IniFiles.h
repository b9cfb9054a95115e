#pragma once

#include "platform/AnsiString.h"

// A settings file in the profile format; every call goes to the file, nothing is cached.
class TIniFile {
public:
    explicit TIniFile(const AnsiString& FileName);

    const AnsiString& FileName() const { return FileName_; }

    // At most 1023 bytes of a value are read, as with a fixed buffer of 1024.
    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) const;
    // Throws Exception when the file cannot be written; it is then left as it was.
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);

private:
    AnsiString FileName_;
};
