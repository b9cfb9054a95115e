#include "platform/IniFiles.h"

#include "platform/Exceptions.h"
#include "platform/Profile.h"

TIniFile::TIniFile(const AnsiString& FileName) : FileName_(FileName) {}

AnsiString TIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) const {
    char buffer[1024];
    const DWORD length = GetPrivateProfileStringA(Section.c_str(), Ident.c_str(), Default.c_str(), buffer,
                                                  sizeof(buffer), FileName_.c_str());
    return AnsiString(buffer, length);
}

void TIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
    if (!WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), Value.c_str(), FileName_.c_str())) {
        throw Exception(FileName_ + " に書き込めません");
    }
}
