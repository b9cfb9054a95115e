#include "platform/CodePage.h"

#include "platform/Exceptions.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include <iconv.h>

namespace {

int activeCodePage = CP_UTF8;

constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";
constexpr std::string_view kAnsiReplacement = "?";

bool IsShiftJisLead(unsigned char Byte) {
    return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC);
}

bool IsShiftJisTrail(unsigned char Byte) {
    return Byte >= 0x40 && Byte <= 0xFC && Byte != 0x7F;
}

bool IsUtf8Continuation(unsigned char Byte) {
    return (Byte & 0xC0) == 0x80;
}

// How many bytes one replacement stands for: a well-formed but unassigned pair is one character,
// otherwise only the offending byte goes so that a following ASCII byte survives.
std::size_t ShiftJisBadLength(std::string_view Rest) {
    const auto lead = static_cast<unsigned char>(Rest[0]);
    const bool pair = Rest.size() >= 2 && IsShiftJisLead(lead) && IsShiftJisTrail(static_cast<unsigned char>(Rest[1]));
    return pair ? 2 : 1;
}

// The maximal subpart of a UTF-8 sequence starting at Rest[0], so that one '?' replaces one character:
// a whole character that has no Shift-JIS form, or the valid beginning of a broken one.
std::size_t Utf8BadLength(std::string_view Rest) {
    const auto lead = static_cast<unsigned char>(Rest[0]);
    std::size_t length = 0;
    unsigned char secondMin = 0x80;
    unsigned char secondMax = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        secondMin = lead == 0xE0 ? 0xA0 : 0x80;
        secondMax = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        secondMin = lead == 0xF0 ? 0x90 : 0x80;
        secondMax = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 1;
    }
    std::size_t count = 1;
    if (count < Rest.size()) {
        const auto second = static_cast<unsigned char>(Rest[count]);
        if (second >= secondMin && second <= secondMax) {
            ++count;
        }
    }
    while (count > 1 && count < length && count < Rest.size() &&
           IsUtf8Continuation(static_cast<unsigned char>(Rest[count]))) {
        ++count;
    }
    return count;
}

// Without the gconv module only ASCII can be trusted to mean the same on both sides.
AnsiString AsciiOnly(std::string_view S, std::string_view Replacement) {
    AnsiString out;
    out.reserve(S.size());
    for (const char c : S) {
        if (static_cast<unsigned char>(c) < 0x80) {
            out += c;
        } else {
            out += Replacement;
        }
    }
    return out;
}

// One iconv descriptor per direction, opened on first use and kept: opening loads the gconv module.
class Converter {
public:
    Converter(const char* To, const char* From) : cd_(iconv_open(To, From)) {}
    ~Converter() {
        if (IsOpen()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    AnsiString Convert(std::string_view S, std::string_view Replacement,
                       std::size_t (*BadLength)(std::string_view)) const;

private:
    bool IsOpen() const { return cd_ != reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1)); }

    iconv_t cd_;
};

AnsiString Converter::Convert(std::string_view S, std::string_view Replacement,
                              std::size_t (*BadLength)(std::string_view)) const {
    if (!IsOpen()) {
        return AsciiOnly(S, Replacement);
    }
    AnsiString out(S.size() + S.size() / 2 + 16, '\0');
    std::size_t used = 0;
    // iconv's POSIX signature takes char** for the input but never writes through it.
    char* in = const_cast<char*>(S.data());
    std::size_t inLeft = S.size();
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        char* outPtr = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const std::size_t result = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
        used = static_cast<std::size_t>(outPtr - out.data());
        if (result != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG || out.size() - used < Replacement.size()) {
            out.resize(out.size() * 2);
            continue;
        }
        const std::size_t skip = BadLength(std::string_view(in, inLeft));
        in += skip;
        inLeft -= skip;
        out.replace(used, Replacement.size(), Replacement);
        used += Replacement.size();
    }
    out.resize(used);
    return out;
}

const Converter& ShiftJisToUtf8() {
    static const Converter converter("UTF-8", "CP932");
    return converter;
}

const Converter& Utf8ToShiftJis() {
    static const Converter converter("CP932", "UTF-8");
    return converter;
}

} // namespace

int GetACP() {
    return activeCodePage;
}

void SetACP(int CodePage) {
    if (CodePage != CP_UTF8 && CodePage != CP_SHIFT_JIS) {
        throw Exception("Unsupported code page " + std::to_string(CodePage));
    }
    activeCodePage = CodePage;
}

TMbcsByteType ByteType(const AnsiString& S, int Index) {
    if (activeCodePage != CP_SHIFT_JIS || Index < 1 || static_cast<std::size_t>(Index) > S.size()) {
        return mbSingleByte;
    }
    // A trail byte can look like any ASCII character, so only a walk from the start tells them apart.
    const auto target = static_cast<std::size_t>(Index - 1);
    std::size_t i = 0;
    while (i < target) {
        if (IsShiftJisLead(static_cast<unsigned char>(S[i])) && i + 1 < S.size()) {
            if (i + 1 == target) {
                return mbTrailByte;
            }
            i += 2;
        } else {
            ++i;
        }
    }
    return IsShiftJisLead(static_cast<unsigned char>(S[target])) ? mbLeadByte : mbSingleByte;
}

AnsiString AnsiToUtf8(const AnsiString& S) {
    if (activeCodePage == CP_UTF8) {
        return S;
    }
    return ShiftJisToUtf8().Convert(S, kUtf8Replacement, ShiftJisBadLength);
}

AnsiString Utf8ToAnsi(const AnsiString& S) {
    if (activeCodePage == CP_UTF8) {
        return S;
    }
    return Utf8ToShiftJis().Convert(S, kAnsiReplacement, Utf8BadLength);
}
