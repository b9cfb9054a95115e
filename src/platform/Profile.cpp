#include "platform/Profile.h"

#include "platform/SysUtils.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

char AsciiLower(char C) {
    return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C;
}

bool SameName(std::string_view FileName, std::string_view Wanted) {
    FileName = TrimBlanks(FileName);
    Wanted = TrimBlanks(Wanted);
    return FileName.size() == Wanted.size() &&
           std::equal(FileName.begin(), FileName.end(), Wanted.begin(),
                      [](char A, char B) { return AsciiLower(A) == AsciiLower(B); });
}

// One line of the content: Begin..End is its text without the line end, Next starts the following line.
struct TLine {
    std::size_t Begin;
    std::size_t End;
    std::size_t Next;
    bool HasLineEnd() const { return Next != End; }
};

class TLineReader {
public:
    explicit TLineReader(std::string_view Content) : Content_(Content) {}

    bool Read(TLine& Line) {
        if (Pos_ >= Content_.size()) {
            return false;
        }
        Line.Begin = Pos_;
        const std::size_t lf = Content_.find('\n', Pos_);
        if (lf == std::string_view::npos) {
            Line.End = Line.Next = Content_.size();
        } else {
            Line.End = lf > Pos_ && Content_[lf - 1] == '\r' ? lf - 1 : lf;
            Line.Next = lf + 1;
        }
        Pos_ = Line.Next;
        return true;
    }

    std::string_view Text(const TLine& Line) const { return Content_.substr(Line.Begin, Line.End - Line.Begin); }

private:
    std::string_view Content_;
    std::size_t Pos_ = 0;
};

enum class TLineKind { Blank, Section, Entry, Other };

struct TParsedLine {
    TLineKind Kind;
    std::string_view Name;
    std::string_view Value; // raw, as it follows the "="
};

TParsedLine ParseLine(std::string_view Text) {
    const std::string_view body = TrimBlanks(Text);
    if (body.empty()) {
        return {TLineKind::Blank, {}, {}};
    }
    if (body.front() == ';') {
        return {TLineKind::Other, {}, {}};
    }
    if (body.front() == '[') {
        // An unclosed bracket is no header; treating it as an entry would invent keys named "[...".
        const std::size_t close = body.find(']', 1);
        if (close == std::string_view::npos) {
            return {TLineKind::Other, {}, {}};
        }
        return {TLineKind::Section, body.substr(1, close - 1), {}};
    }
    const std::size_t equals = Text.find('=');
    if (equals == std::string_view::npos) {
        return {TLineKind::Other, {}, {}};
    }
    return {TLineKind::Entry, Text.substr(0, equals), Text.substr(equals + 1)};
}

AnsiString CookValue(std::string_view Raw) {
    // The callers hand values on as C strings, which end at the first NUL.
    const std::size_t nul = Raw.find('\0');
    if (nul != std::string_view::npos) {
        Raw = Raw.substr(0, nul);
    }
    Raw = TrimBlanks(Raw);
    if (Raw.size() >= 2 && (Raw.front() == '"' || Raw.front() == '\'') && Raw.back() == Raw.front()) {
        Raw = Raw.substr(1, Raw.size() - 2);
    }
    return AnsiString(Raw);
}

AnsiString EntryLine(std::string_view Key, std::string_view Value) {
    AnsiString line;
    line.reserve(Key.size() + Value.size() + 1);
    line.append(Key).append("=").append(Value);
    return line;
}

bool ReadWholeFile(const QString& Path, AnsiString& Content) {
    QFile file(Path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return false;
    }
    Content.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

// Root passes access(W_OK) for anything, yet a file or directory someone stripped of every write bit
// is meant to stay as it is.
bool IsWritable(const QByteArray& NativePath, const struct stat& Status) {
    return (Status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && access(NativePath.constData(), W_OK) == 0;
}

bool IsWritableDirectory(const QByteArray& NativePath) {
    struct stat status {};
    return stat(NativePath.constData(), &status) == 0 && S_ISDIR(status.st_mode) && IsWritable(NativePath, status) &&
           access(NativePath.constData(), X_OK) == 0;
}

} // namespace

std::optional<AnsiString> ReadProfileString(std::string_view Content, std::string_view Section, std::string_view Key) {
    TLineReader reader(Content);
    TLine line{};
    bool inSection = false;
    while (reader.Read(line)) {
        const TParsedLine parsed = ParseLine(reader.Text(line));
        if (parsed.Kind == TLineKind::Section) {
            if (inSection) {
                return std::nullopt;
            }
            inSection = SameName(parsed.Name, Section);
        } else if (inSection && parsed.Kind == TLineKind::Entry && SameName(parsed.Name, Key)) {
            return CookValue(parsed.Value);
        }
    }
    return std::nullopt;
}

AnsiString WriteProfileString(std::string_view Content, std::string_view Section, std::string_view Key,
                              std::string_view Value) {
    TLineReader reader(Content);
    TLine line{};
    bool inSection = false;
    bool sectionFound = false;
    // Where a new entry goes: after the section's last line that is not blank.
    TLine lastFilled{};
    while (reader.Read(line)) {
        const TParsedLine parsed = ParseLine(reader.Text(line));
        if (parsed.Kind == TLineKind::Section) {
            if (inSection) {
                break;
            }
            inSection = SameName(parsed.Name, Section);
            if (inSection) {
                sectionFound = true;
                lastFilled = line;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (parsed.Kind == TLineKind::Entry && SameName(parsed.Name, Key)) {
            AnsiString result;
            result.reserve(Content.size() + Key.size() + Value.size() + 1);
            result.append(Content.substr(0, line.Begin)).append(EntryLine(Key, Value)).append(Content.substr(line.End));
            return result;
        }
        if (parsed.Kind != TLineKind::Blank) {
            lastFilled = line;
        }
    }

    AnsiString result;
    result.reserve(Content.size() + Section.size() + Key.size() + Value.size() + 10);
    if (sectionFound) {
        result.append(Content.substr(0, lastFilled.Next));
        if (!lastFilled.HasLineEnd()) {
            result.append("\r\n");
        }
        result.append(EntryLine(Key, Value)).append("\r\n").append(Content.substr(lastFilled.Next));
        return result;
    }
    result.append(Content);
    if (!Content.empty() && Content.back() != '\n') {
        result.append("\r\n");
    }
    result.append("[").append(Section).append("]\r\n").append(EntryLine(Key, Value)).append("\r\n");
    return result;
}

DWORD GetPrivateProfileStringA(const char* lpAppName, const char* lpKeyName, const char* lpDefault,
                               char* lpReturnedString, DWORD nSize, const char* lpFileName) {
    if (lpReturnedString == nullptr || nSize == 0) {
        return 0;
    }
    std::optional<AnsiString> found;
    if (lpAppName != nullptr && lpKeyName != nullptr && lpFileName != nullptr) {
        AnsiString content;
        if (ReadWholeFile(QFile::decodeName(lpFileName), content)) {
            found = ReadProfileString(content, lpAppName, lpKeyName);
        }
    }
    const std::string_view text = found ? std::string_view(*found) : std::string_view(lpDefault ? lpDefault : "");
    const std::size_t count = std::min<std::size_t>(text.size(), nSize - 1);
    std::memcpy(lpReturnedString, text.data(), count);
    lpReturnedString[count] = '\0';
    return static_cast<DWORD>(count);
}

BOOL WritePrivateProfileStringA(const char* lpAppName, const char* lpKeyName, const char* lpString,
                                const char* lpFileName) {
    if (lpAppName == nullptr || lpKeyName == nullptr || lpString == nullptr || lpFileName == nullptr ||
        *lpFileName == '\0') {
        return FALSE;
    }
    const QString path = QFile::decodeName(lpFileName);
    const QByteArray nativePath = QFile::encodeName(path);
    if (!IsWritableDirectory(QFile::encodeName(QFileInfo(path).absolutePath()))) {
        return FALSE;
    }

    struct stat status {};
    const bool exists = stat(nativePath.constData(), &status) == 0;
    if (!exists && errno != ENOENT) {
        return FALSE;
    }
    AnsiString content;
    if (exists) {
        // Whatever we could not read we must not overwrite.
        if (!S_ISREG(status.st_mode) || !IsWritable(nativePath, status) || !ReadWholeFile(path, content)) {
            return FALSE;
        }
    }
    const AnsiString updated = WriteProfileString(content, lpAppName, lpKeyName, lpString);

    // The new content goes to a file beside the old one, which is renamed over it only once complete;
    // QSaveFile gives it the old file's permissions.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return FALSE;
    }
    const qint64 size = static_cast<qint64>(updated.size());
    if (file.write(updated.data(), size) != size) {
        file.cancelWriting();
        return FALSE;
    }
    return file.commit() ? TRUE : FALSE;
}
