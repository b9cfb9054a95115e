#include "platform/VersionBlock.h"

#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace {

constexpr std::size_t kMaxNodeLength = std::numeric_limits<WORD>::max();

std::u16string ToUtf16(std::string_view S) {
    auto text = Utf8ToUtf16(S);
    if (!text) {
        throw Exception("not UTF-8: \"" + std::string(S) + "\"");
    }
    return *std::move(text);
}

// Nodes are written depth first; each one's length is known only once its children are in.
class BlockWriter {
public:
    std::size_t Begin(std::string_view Key, std::size_t ValueLength, WORD Type) {
        if (ValueLength > kMaxNodeLength) {
            throw Exception("version value too long under \"" + std::string(Key) + "\"");
        }
        Align();
        const std::size_t start = bytes_.size();
        Word(0);
        Word(static_cast<WORD>(ValueLength));
        Word(Type);
        Text(ToUtf16(Key));
        Align();
        return start;
    }

    void End(std::size_t Start) {
        const std::size_t length = bytes_.size() - Start;
        if (length > kMaxNodeLength) {
            throw Exception("version block passes 64 KiB");
        }
        bytes_[Start] = static_cast<unsigned char>(length & 0xFF);
        bytes_[Start + 1] = static_cast<unsigned char>(length >> 8);
    }

    void Word(WORD Value) {
        bytes_.push_back(static_cast<unsigned char>(Value & 0xFF));
        bytes_.push_back(static_cast<unsigned char>(Value >> 8));
    }

    void Dword(DWORD Value) {
        Word(static_cast<WORD>(Value & 0xFFFF));
        Word(static_cast<WORD>(Value >> 16));
    }

    // With its NUL.
    void Text(std::u16string_view S) {
        for (const char16_t unit : S) {
            Word(static_cast<WORD>(unit));
        }
        Word(0);
    }

    // Every node, key and value starts on a 4-byte boundary of the block.
    void Align() {
        while (bytes_.size() % 4 != 0) {
            bytes_.push_back(0);
        }
    }

    std::vector<unsigned char> Take() { return std::move(bytes_); }

private:
    std::vector<unsigned char> bytes_;
};

DWORD HighPart(const TVersionNumber& Version) {
    return static_cast<DWORD>(Version[0]) << 16 | Version[1];
}

DWORD LowPart(const TVersionNumber& Version) {
    return static_cast<DWORD>(Version[2]) << 16 | Version[3];
}

void WriteFixedInfo(BlockWriter& Writer, const TVersionDescription& Description) {
    Writer.Dword(VersionSignature);
    Writer.Dword(VersionStrucVersion);
    Writer.Dword(HighPart(Description.FileVersion));
    Writer.Dword(LowPart(Description.FileVersion));
    Writer.Dword(HighPart(Description.ProductVersion));
    Writer.Dword(LowPart(Description.ProductVersion));
    Writer.Dword(VersionFileFlagsMask);
    Writer.Dword(0); // flags
    Writer.Dword(VersionFileOs);
    Writer.Dword(VersionFileTypeApp);
    Writer.Dword(0); // subtype
    Writer.Dword(0); // date, high
    Writer.Dword(0); // date, low
}

void WriteStringTables(BlockWriter& Writer, const std::vector<TVersionStringTable>& Tables) {
    const std::size_t info = Writer.Begin("StringFileInfo", 0, VersionNodeText);
    for (const auto& table : Tables) {
        const std::size_t tableStart = Writer.Begin(table.Key, 0, VersionNodeText);
        for (const auto& entry : table.Strings) {
            const std::u16string value = ToUtf16(entry.Value);
            const std::size_t entryStart = Writer.Begin(entry.Key, value.size() + 1, VersionNodeText);
            Writer.Text(value);
            Writer.End(entryStart);
        }
        Writer.End(tableStart);
    }
    Writer.End(info);
}

void WriteTranslations(BlockWriter& Writer, const std::vector<TVersionTranslation>& Translations) {
    const std::size_t info = Writer.Begin("VarFileInfo", 0, VersionNodeText);
    const std::size_t var = Writer.Begin("Translation", Translations.size() * sizeof(DWORD), VersionNodeBinary);
    for (const auto& translation : Translations) {
        Writer.Word(translation.Language);
        Writer.Word(translation.CodePage);
    }
    Writer.End(var);
    Writer.End(info);
}

// ---- description ----

[[noreturn]] void Fail(std::size_t Line, const std::string& Message) {
    throw Exception("line " + std::to_string(Line) + ": " + Message);
}

// The first blank-separated word of Rest, which is left holding what follows it.
std::string_view NextWord(std::string_view& Rest) {
    Rest = TrimBlanks(Rest);
    std::size_t end = 0;
    while (end < Rest.size() && Rest[end] != ' ' && Rest[end] != '\t') {
        ++end;
    }
    const std::string_view word = Rest.substr(0, end);
    Rest = TrimBlanks(Rest.substr(end));
    return word;
}

bool IsHexDigits(std::string_view S, std::size_t Count) {
    if (S.size() != Count) {
        return false;
    }
    for (const char c : S) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (!hex) {
            return false;
        }
    }
    return true;
}

std::optional<WORD> ParseNumber(std::string_view S, int Base) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(S.data(), S.data() + S.size(), value, Base);
    if (S.empty() || error != std::errc() || end != S.data() + S.size() || value > kMaxNodeLength) {
        return std::nullopt;
    }
    return static_cast<WORD>(value);
}

TVersionNumber ParseVersion(std::size_t Line, std::string_view S) {
    TVersionNumber version{};
    std::size_t part = 0;
    while (true) {
        const std::size_t dot = S.find('.');
        const std::string_view digits = S.substr(0, dot);
        // from_chars would take a sign; a version part is digits only.
        const bool plain = !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
        const auto value = plain ? ParseNumber(digits, 10) : std::nullopt;
        if (part == version.size() || !value) {
            Fail(Line, "version must be four numbers 0-65535 joined by '.': \"" + std::string(S) + "\"");
        }
        version[part++] = *value;
        if (dot == std::string_view::npos) {
            break;
        }
        S.remove_prefix(dot + 1);
    }
    if (part != version.size()) {
        Fail(Line, "version must be four numbers 0-65535 joined by '.'");
    }
    return version;
}

void ExpectEnd(std::size_t Line, std::string_view Rest, std::string_view Directive) {
    if (!Rest.empty()) {
        Fail(Line, "unexpected \"" + std::string(Rest) + "\" after " + std::string(Directive));
    }
}

void CheckUtf8(std::size_t Line, std::string_view S) {
    if (!Utf8ToUtf16(S)) {
        Fail(Line, "text is not UTF-8");
    }
}

class DescriptionParser {
public:
    void Statement(std::size_t Line, std::string_view Text);
    TVersionDescription Finish();

private:
    TVersionDescription description_;
    bool fileVersion_ = false;
    bool productVersion_ = false;
};

void DescriptionParser::Statement(std::size_t Line, std::string_view Text) {
    std::string_view rest = Text;
    const std::string_view directive = NextWord(rest);
    if (directive == "FileVersion" || directive == "ProductVersion") {
        bool& seen = directive == "FileVersion" ? fileVersion_ : productVersion_;
        if (seen) {
            Fail(Line, std::string(directive) + " given twice");
        }
        const std::string_view value = NextWord(rest);
        ExpectEnd(Line, rest, directive);
        (directive == "FileVersion" ? description_.FileVersion : description_.ProductVersion) =
            ParseVersion(Line, value);
        seen = true;
    } else if (directive == "Translation") {
        const std::string_view language = NextWord(rest);
        const std::string_view codePage = NextWord(rest);
        ExpectEnd(Line, rest, directive);
        if (!IsHexDigits(language, 4) || !IsHexDigits(codePage, 4)) {
            Fail(Line, "Translation needs a language and a code page of four hex digits each");
        }
        if (!description_.Translations) {
            description_.Translations.emplace();
        }
        description_.Translations->push_back({*ParseNumber(language, 16), *ParseNumber(codePage, 16)});
    } else if (directive == "StringTable") {
        const std::string_view key = NextWord(rest);
        ExpectEnd(Line, rest, directive);
        if (!IsHexDigits(key, 8)) {
            Fail(Line, "StringTable needs eight hex digits, language then code page");
        }
        for (const auto& table : description_.StringTables) {
            if (table.Key == key) {
                Fail(Line, "StringTable " + std::string(key) + " given twice");
            }
        }
        description_.StringTables.push_back({std::string(key), {}});
    } else if (directive == "String") {
        if (description_.StringTables.empty()) {
            Fail(Line, "String before any StringTable");
        }
        const std::string_view key = NextWord(rest);
        if (key.empty()) {
            Fail(Line, "String needs a name");
        }
        CheckUtf8(Line, key);
        CheckUtf8(Line, rest);
        auto& strings = description_.StringTables.back().Strings;
        for (const auto& entry : strings) {
            if (entry.Key == key) {
                Fail(Line, "String " + std::string(key) + " given twice in one table");
            }
        }
        strings.push_back({std::string(key), std::string(rest)});
    } else {
        Fail(Line, "unknown statement \"" + std::string(directive) + "\"");
    }
}

TVersionDescription DescriptionParser::Finish() {
    if (!fileVersion_ || !productVersion_) {
        throw Exception(std::string("no ") + (fileVersion_ ? "ProductVersion" : "FileVersion") + " given");
    }
    return std::move(description_);
}

} // namespace

std::vector<unsigned char> BuildVersionBlock(const TVersionDescription& Description) {
    BlockWriter writer;
    const std::size_t root = writer.Begin("VS_VERSION_INFO", FixedFileInfoSize, VersionNodeBinary);
    WriteFixedInfo(writer, Description);
    if (!Description.StringTables.empty()) {
        WriteStringTables(writer, Description.StringTables);
    }
    if (Description.Translations) {
        WriteTranslations(writer, *Description.Translations);
    }
    writer.End(root);
    return writer.Take();
}

TVersionDescription ParseVersionDescription(std::string_view Text) {
    DescriptionParser parser;
    std::size_t lineNumber = 0;
    while (!Text.empty()) {
        ++lineNumber;
        const std::size_t end = Text.find('\n');
        std::string_view line = Text.substr(0, end);
        Text.remove_prefix(end == std::string_view::npos ? Text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        line = TrimBlanks(line);
        if (!line.empty() && line.front() != '#') {
            parser.Statement(lineNumber, line);
        }
    }
    return parser.Finish();
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view S) {
    std::u16string out;
    out.reserve(S.size());
    std::size_t i = 0;
    while (i < S.size()) {
        const auto lead = static_cast<unsigned char>(S[i]);
        std::size_t length = 0;
        char32_t code = 0;
        char32_t least = 0;
        if (lead < 0x80) {
            length = 1;
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1Fu;
            least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0Fu;
            least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07u;
            least = 0x10000;
        } else {
            return std::nullopt;
        }
        if (length > S.size() - i) {
            return std::nullopt;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(S[i + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            code = (code << 6) | (next & 0x3Fu);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return std::nullopt;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
        i += length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view S) {
    std::string out;
    out.reserve(S.size() * 3);
    for (std::size_t i = 0; i < S.size(); ++i) {
        char32_t code = S[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < S.size() && S[i + 1] >= 0xDC00 && S[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (S[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}
