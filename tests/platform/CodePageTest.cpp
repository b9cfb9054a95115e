#include "platform/CodePage.h"

#include "platform/Exceptions.h"
#include "platform/QtText.h"

#include <gtest/gtest.h>

#include <QString>

#include <string>

namespace {

// 'ポ' is 0x83 0x7C in Shift-JIS: its trail byte is '|'.
const std::string kPoShiftJis = "\x83\x7C";
const std::string kPoUtf8 = "\xE3\x83\x9D";
// "見積書ｶﾅ": double-byte kanji followed by single-byte half-width katakana.
const std::string kQuoteShiftJis = "\x8C\xA9\x90\xCF\x8F\x91\xB6\xC5";
const std::string kQuoteUtf8 = "\xE8\xA6\x8B\xE7\xA9\x8D\xE6\x9B\xB8\xEF\xBD\xB6\xEF\xBE\x85";
const std::string kReplacementUtf8 = "\xEF\xBF\xBD";

class CodePage : public ::testing::Test {
protected:
    void TearDown() override { SetACP(CP_UTF8); }
};

TEST_F(CodePage, SwitchesBetweenTheSupportedPages) {
    EXPECT_EQ(GetACP(), CP_UTF8);
    SetACP(CP_SHIFT_JIS);
    EXPECT_EQ(GetACP(), 932);
    SetACP(CP_UTF8);
    EXPECT_EQ(GetACP(), 65001);
}

TEST_F(CodePage, UnsupportedPageThrowsAndKeepsTheActiveOne) {
    SetACP(CP_SHIFT_JIS);
    EXPECT_THROW(SetACP(1252), Exception);
    EXPECT_THROW(SetACP(0), Exception);
    EXPECT_EQ(GetACP(), CP_SHIFT_JIS);
}

struct ByteTypeCase {
    const char* name;
    std::string text;
    int index;
    TMbcsByteType expected;
};

TEST_F(CodePage, ByteTypeUnderShiftJisWalksFromTheStart) {
    SetACP(CP_SHIFT_JIS);
    const ByteTypeCase cases[] = {
        {"ASCII", "A", 1, mbSingleByte},
        {"lead of ポ", kPoShiftJis, 1, mbLeadByte},
        {"trail of ポ although it reads as '|'", kPoShiftJis, 2, mbTrailByte},
        {"ASCII after a complete character", kPoShiftJis + "A", 3, mbSingleByte},
        {"lone lead byte at the end", "A\x83", 2, mbLeadByte},
        {"lead-range byte in trail position is a trail", "\x83\x83\x83", 2, mbTrailByte},
        {"lead-range byte after a pair is a lead again", "\x83\x83\x83", 3, mbLeadByte},
        {"second character's lead", "\x82\xA0\x82\xA2", 3, mbLeadByte},
        {"second character's trail", "\x82\xA0\x82\xA2", 4, mbTrailByte},
        {"upper lead range", "\xE0\x40", 1, mbLeadByte},
        {"top of the upper lead range", "\xFC\x40", 2, mbTrailByte},
        {"half-width katakana is single", "\xB1\x40", 2, mbSingleByte},
        {"0x80 is no lead", "\x80\x40", 2, mbSingleByte},
        {"0xA0 is no lead", "\xA0\x40", 2, mbSingleByte},
        {"0xFD is no lead", "\xFD\x40", 2, mbSingleByte},
        {"index zero", kPoShiftJis, 0, mbSingleByte},
        {"index past the end", kPoShiftJis, 3, mbSingleByte},
        {"empty text", "", 1, mbSingleByte},
    };
    for (const ByteTypeCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ByteType(c.text, c.index), c.expected);
    }
}

TEST_F(CodePage, ByteTypeUnderUtf8HasNoDoubleByteCharacters) {
    for (const std::string& text : {kPoUtf8, kPoShiftJis, std::string("A\x83")}) {
        for (int index = 0; index <= static_cast<int>(text.size()) + 1; ++index) {
            SCOPED_TRACE(index);
            EXPECT_EQ(ByteType(text, index), mbSingleByte);
        }
    }
}

TEST_F(CodePage, Utf8PageConvertsAsIs) {
    const std::string invalid = "A\xFF\x83|";
    EXPECT_EQ(AnsiToUtf8(invalid), invalid);
    EXPECT_EQ(Utf8ToAnsi(invalid), invalid);
}

TEST_F(CodePage, ShiftJisRoundTripsThroughUtf8) {
    SetACP(CP_SHIFT_JIS);
    EXPECT_EQ(AnsiToUtf8(kPoShiftJis), kPoUtf8);
    EXPECT_EQ(Utf8ToAnsi(kPoUtf8), kPoShiftJis);
    const std::string mixed = "No.1 " + kQuoteShiftJis + " |" + kPoShiftJis + "|";
    const std::string mixedUtf8 = "No.1 " + kQuoteUtf8 + " |" + kPoUtf8 + "|";
    EXPECT_EQ(AnsiToUtf8(mixed), mixedUtf8);
    EXPECT_EQ(Utf8ToAnsi(mixedUtf8), mixed);
    EXPECT_EQ(AnsiToUtf8(""), "");
}

struct ConversionCase {
    const char* name;
    std::string input;
    std::string expected;
};

TEST_F(CodePage, BadShiftJisBecomesReplacementCharacterAndTheRestConverts) {
    SetACP(CP_SHIFT_JIS);
    const ConversionCase cases[] = {
        {"lead byte followed by a byte that cannot trail", "A\x81 B", "A" + kReplacementUtf8 + " B"},
        {"unassigned pair is one character",
         "A\x85\x40"
         "B",
         "A" + kReplacementUtf8 + "B"},
        {"byte undefined on its own", "\xA0" + kPoShiftJis, kReplacementUtf8 + kPoUtf8},
        {"lone lead byte at the end", "AB\x83", "AB" + kReplacementUtf8},
        {"several bad bytes in a row",
         "\x80\xFD\xFE"
         "Z",
         kReplacementUtf8 + kReplacementUtf8 + kReplacementUtf8 + "Z"},
    };
    for (const ConversionCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AnsiToUtf8(c.input), c.expected);
    }
}

TEST_F(CodePage, BadOrUnconvertibleUtf8BecomesOneQuestionMarkPerCharacter) {
    SetACP(CP_SHIFT_JIS);
    const ConversionCase cases[] = {
        {"byte that never occurs in UTF-8",
         "A\xFF"
         "B",
         "A?B"},
        {"stray continuation byte",
         "A\x9D"
         "B",
         "A?B"},
        {"character with no Shift-JIS form",
         "A\xE2\x82\xAC"
         "B",
         "A?B"},
        {"four-byte character with no Shift-JIS form", "A\xF0\x9F\x98\x80" + kPoUtf8, "A?" + kPoShiftJis},
        {"truncated character before ASCII",
         "A\xE3\x83"
         "B",
         "A?B"},
        {"truncated character at the end", "A\xE3\x83", "A?"},
        {"overlong encoding of '/'",
         "\xC0\xAF"
         "B",
         "??B"},
        {"encoded surrogate",
         "\xED\xA0\x80"
         "B",
         "???B"},
    };
    for (const ConversionCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8ToAnsi(c.input), c.expected);
    }
}

std::string Repeat(const std::string& Piece, std::size_t Bytes) {
    std::string text;
    text.reserve(Bytes + Piece.size());
    while (text.size() < Bytes) {
        text += Piece;
    }
    return text;
}

TEST_F(CodePage, MebibyteTextsConvertCompletely) {
    SetACP(CP_SHIFT_JIS);
    const std::size_t mebibyte = 1 << 20;
    const std::string shiftJis = Repeat(kPoShiftJis + "a" + kQuoteShiftJis, mebibyte);
    const std::string utf8 = AnsiToUtf8(shiftJis);
    EXPECT_EQ(utf8, Repeat(kPoUtf8 + "a" + kQuoteUtf8, utf8.size()));
    EXPECT_EQ(Utf8ToAnsi(utf8), shiftJis);

    // Every other byte is bad: the error path must be linear as well.
    const std::string bad = Repeat("\x81 ", mebibyte);
    EXPECT_EQ(AnsiToUtf8(bad), Repeat(kReplacementUtf8 + " ", bad.size() / 2 * 4));
    EXPECT_EQ(Utf8ToAnsi(Repeat("\xFF"
                                "a",
                                mebibyte)),
              Repeat("?a", mebibyte));
}

TEST_F(CodePage, QtTextReadsAndWritesShiftJis) {
    SetACP(CP_SHIFT_JIS);
    const QString expected = QString::fromUtf16(u"見積書ｶﾅ |ポ|");
    const std::string bytes = kQuoteShiftJis + " |" + kPoShiftJis + "|";
    const QString text = ToQString(bytes);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.size(), 9);
    EXPECT_EQ(FromQString(text), bytes);
}

TEST_F(CodePage, QtTextUnderUtf8IsUtf8) {
    const QString text = ToQString(kQuoteUtf8);
    EXPECT_EQ(text, QString::fromUtf16(u"見積書ｶﾅ"));
    EXPECT_EQ(FromQString(text), kQuoteUtf8);
}

} // namespace
