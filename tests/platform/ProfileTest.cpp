#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

using namespace std::string_literals;

struct ReadCase {
    const char* Name;
    std::string Content;
    const char* Section;
    const char* Key;
    std::optional<std::string> Expected;
};

void CheckReads(const ReadCase* Begin, const ReadCase* End) {
    for (const ReadCase* c = Begin; c != End; ++c) {
        SCOPED_TRACE(c->Name);
        EXPECT_EQ(ReadProfileString(c->Content, c->Section, c->Key), c->Expected);
    }
}

TEST(ReadProfileString, LineEnds) {
    const ReadCase cases[] = {
        {"CR LF", "[TAX]\r\nRATE=0.08\r\nNAME=x\r\n", "TAX", "RATE", "0.08"},
        {"LF", "[TAX]\nRATE=0.08\nNAME=x\n", "TAX", "RATE", "0.08"},
        {"mixed, CR LF line", "[A]\nX=1\r\n[TAX]\r\nRATE=0.08\nNAME=x\r\n", "TAX", "NAME", "x"},
        {"mixed, LF line", "[A]\nX=1\r\n[TAX]\r\nRATE=0.08\nNAME=x\r\n", "TAX", "RATE", "0.08"},
        {"last line without newline", "[TAX]\r\nRATE=0.08", "TAX", "RATE", "0.08"},
        {"header without newline", "[TAX]", "TAX", "RATE", std::nullopt},
        {"a CR not before LF stays in the value", "[TAX]\r\nRATE=0.0\r8\r\n", "TAX", "RATE", "0.0\r8"},
        {"a CR at the very end stays in the value", "[TAX]\r\nRATE=0.08\r", "TAX", "RATE", "0.08\r"},
        {"empty content", "", "TAX", "RATE", std::nullopt},
    };
    CheckReads(std::begin(cases), std::end(cases));
}

TEST(ReadProfileString, NamesIgnoreAsciiCaseAndSurroundingBlanks) {
    const ReadCase cases[] = {
        {"section in another case", "[tax]\r\nRATE=1\r\n", "TAX", "RATE", "1"},
        {"key in another case", "[TAX]\r\nrAtE=1\r\n", "TAX", "RATE", "1"},
        {"caller's names in another case", "[TAX]\r\nRATE=1\r\n", "Tax", "rate", "1"},
        {"blanks before the bracket", " \t[TAX]\r\nRATE=1\r\n", "TAX", "RATE", "1"},
        {"blanks inside the brackets", "[ \tTAX\t ]\r\nRATE=1\r\n", "TAX", "RATE", "1"},
        {"text after the bracket", "[TAX] ; rates\r\nRATE=1\r\n", "TAX", "RATE", "1"},
        {"blanks around the key", " \tRATE \t=1\r\n", "TAX", "RATE", std::nullopt},
        {"blanks around the key in a section", "[TAX]\r\n \tRATE \t=1\r\n", "TAX", "RATE", "1"},
        {"blanks inside a key", "[TAX]\r\nTAX RATE=1\r\n", "tax", "tax rate", "1"},
        {"blanks in the caller's key", "[TAX]\r\nRATE=1\r\n", " TAX ", " RATE\t", "1"},
        {"a longer key is another key", "[TAX]\r\nRATE2=1\r\n", "TAX", "RATE", std::nullopt},
        {"a shorter key is another key", "[TAX]\r\nRAT=1\r\n", "TAX", "RATE", std::nullopt},
        {"a longer section is another section", "[TAXES]\r\nRATE=1\r\n", "TAX", "RATE", std::nullopt},
        {"non-ASCII bytes compare exactly", "[\xC3\xA4]\r\nK=1\r\n", "\xC3\x84", "K", std::nullopt},
        {"'[' and '{' are not letters of another case", "[TAX]\r\n{=1\r\n", "TAX", "[", std::nullopt},
    };
    CheckReads(std::begin(cases), std::end(cases));
}

TEST(ReadProfileString, ValuesAreTrimmedAndUnquoted) {
    const ReadCase cases[] = {
        {"blanks around the value", "[T]\r\nK= \t0.08 \t\r\n", "T", "K", "0.08"},
        {"blanks inside the value", "[T]\r\nK=a  b\r\n", "T", "K", "a  b"},
        {"empty value", "[T]\r\nK=\r\n", "T", "K", ""},
        {"blank value", "[T]\r\nK=  \r\n", "T", "K", ""},
        {"double quotes", "[T]\r\nK=\"0.08\"\r\n", "T", "K", "0.08"},
        {"single quotes", "[T]\r\nK='0.08'\r\n", "T", "K", "0.08"},
        {"quotes keep the blanks inside", "[T]\r\nK= \" a \" \r\n", "T", "K", " a "},
        {"empty quotes", "[T]\r\nK=\"\"\r\n", "T", "K", ""},
        {"unmatched quotes stay", "[T]\r\nK=\"0.08'\r\n", "T", "K", "\"0.08'"},
        {"a lone quote stays", "[T]\r\nK=\"\r\n", "T", "K", "\""},
        {"an opening quote only stays", "[T]\r\nK=\"0.08\r\n", "T", "K", "\"0.08"},
        {"only one pair is removed", "[T]\r\nK=\"\"x\"\"\r\n", "T", "K", "\"x\""},
        {"'=' in the value", "[T]\r\nK=a=b\r\n", "T", "K", "a=b"},
        {"';' in the value", "[T]\r\nK=a ;b\r\n", "T", "K", "a ;b"},
        {"Shift-JIS trail bytes kept", "[T]\r\nK=\x83\x5C\x83\x7C\r\n", "T", "K", "\x83\x5C\x83\x7C"},
    };
    CheckReads(std::begin(cases), std::end(cases));
}

TEST(ReadProfileString, NulEndsTheValue) {
    const ReadCase cases[] = {
        {"NUL in the value", "[T]\r\nK=ab\0cd\r\n"s, "T", "K", "ab"},
        {"NUL first in the value", "[T]\r\nK=\0cd\r\n"s, "T", "K", ""},
        {"NUL before a closing quote", "[T]\r\nK=\"ab\0\"\r\n"s, "T", "K", "\"ab"},
        {"blanks before the NUL are trimmed", "[T]\r\nK=ab \0 cd\r\n"s, "T", "K", "ab"},
        {"NUL in another line", "[T]\r\nX=\0\0\r\nK=1\r\n"s, "T", "K", "1"},
        {"NUL lines between sections", "\0\0\r\n[T]\r\n\0\r\nK=1\r\n"s, "T", "K", "1"},
    };
    CheckReads(std::begin(cases), std::end(cases));
}

TEST(ReadProfileString, IgnoresLinesThatAreNoEntries) {
    const ReadCase cases[] = {
        {"comment with '='", "[T]\r\n;K=1\r\nK=2\r\n", "T", "K", "2"},
        {"indented comment with '='", "[T]\r\n  ;K=1\r\nK=2\r\n", "T", "K", "2"},
        {"only a commented entry", "[T]\r\n;K=1\r\n", "T", "K", std::nullopt},
        {"a comment is no entry whatever the key", "[T]\r\n;K=1\r\n", "T", ";K", std::nullopt},
        {"line without '='", "[T]\r\nK\r\nK 2\r\nK=3\r\n", "T", "K", "3"},
        {"blank lines", "[T]\r\n\r\n \t\r\n\nK=1\r\n", "T", "K", "1"},
        {"unclosed bracket does not end the section", "[T]\r\n[U\r\nK=1\r\n", "T", "K", "1"},
        {"unclosed bracket is no section of its own", "[U\r\nK=1\r\n", "U", "K", std::nullopt},
        {"empty section name", "[]\r\nK=1\r\n", "", "K", "1"},
    };
    CheckReads(std::begin(cases), std::end(cases));
}

TEST(ReadProfileString, FirstMatchWins) {
    const ReadCase cases[] = {
        {"first entry", "[T]\r\nK=1\r\nk=2\r\n", "T", "K", "1"},
        {"first section only", "[T]\r\nX=1\r\n[t]\r\nK=2\r\n", "T", "K", std::nullopt},
        {"first section only, not a later one", "[T]\r\nX=1\r\n[A]\r\n[T]\r\nK=2\r\n", "T", "K", std::nullopt},
        {"first section's entry", "[T]\r\nK=1\r\n[T]\r\nK=2\r\n", "T", "K", "1"},
        {"entry of another section", "[A]\r\nK=1\r\n[T]\r\nX=2\r\n", "T", "K", std::nullopt},
        {"entry ends with the next section", "[T]\r\nX=1\r\n[A]\r\nK=2\r\n", "T", "K", std::nullopt},
        {"entries before any section belong to none", "K=1\r\n[T]\r\nX=2\r\n", "T", "K", std::nullopt},
        {"entries before any section do not shadow", "K=1\r\n[T]\r\nK=2\r\n", "T", "K", "2"},
        {"entries before any section are not the empty section", "K=1\r\n[]\r\nX=2\r\n", "", "K", std::nullopt},
    };
    CheckReads(std::begin(cases), std::end(cases));
}

struct WriteCase {
    const char* Name;
    std::string Content;
    std::string Expected;
};

// Every case sets [TAX] RATE to 0.08.
void CheckWrites(const WriteCase* Begin, const WriteCase* End) {
    for (const WriteCase* c = Begin; c != End; ++c) {
        SCOPED_TRACE(c->Name);
        const std::string written = WriteProfileString(c->Content, "TAX", "RATE", "0.08");
        EXPECT_EQ(written, c->Expected);
        EXPECT_EQ(ReadProfileString(written, "TAX", "RATE"), "0.08");
    }
}

TEST(WriteProfileString, ReplacesTheEntryLineInPlace) {
    const WriteCase cases[] = {
        {"CR LF", "[TAX]\r\nRATE=0.05\r\nX=1\r\n", "[TAX]\r\nRATE=0.08\r\nX=1\r\n"},
        {"LF keeps LF", "[TAX]\nRATE=0.05\nX=1\n", "[TAX]\nRATE=0.08\nX=1\n"},
        {"mixed keeps each line's end", "[TAX]\nRATE=0.05\r\nX=1\n", "[TAX]\nRATE=0.08\r\nX=1\n"},
        {"last line without newline", "[TAX]\r\nRATE=0.05", "[TAX]\r\nRATE=0.08"},
        {"the whole line goes, blanks, case and quotes too", "[TAX]\r\n \trate = \"0.05\" \r\nX=1\r\n",
         "[TAX]\r\nRATE=0.08\r\nX=1\r\n"},
        {"empty value", "[TAX]\r\nRATE=\r\n", "[TAX]\r\nRATE=0.08\r\n"},
        {"value with NUL", "[TAX]\r\nRATE=0\0.05\r\n"s, "[TAX]\r\nRATE=0.08\r\n"},
        {"only the first entry", "[TAX]\r\nRATE=1\r\nRATE=2\r\n", "[TAX]\r\nRATE=0.08\r\nRATE=2\r\n"},
        {"only in the first section", "[TAX]\r\nRATE=1\r\n[tax]\r\nRATE=2\r\n",
         "[TAX]\r\nRATE=0.08\r\n[tax]\r\nRATE=2\r\n"},
        {"not the one before any section", "RATE=1\r\n[TAX]\r\nRATE=2\r\n", "RATE=1\r\n[TAX]\r\nRATE=0.08\r\n"},
        {"not the commented one", "[TAX]\r\n;RATE=1\r\nRATE=2\r\n", "[TAX]\r\n;RATE=1\r\nRATE=0.08\r\n"},
        {"not one of another section", "[A]\r\nRATE=1\r\n[TAX]\r\nRATE=2\r\n",
         "[A]\r\nRATE=1\r\n[TAX]\r\nRATE=0.08\r\n"},
    };
    CheckWrites(std::begin(cases), std::end(cases));
}

TEST(WriteProfileString, AddsAMissingEntryAfterTheSectionsLastFilledLine) {
    const WriteCase cases[] = {
        {"after the last entry", "[TAX]\r\nX=1\r\n[B]\r\nY=2\r\n", "[TAX]\r\nX=1\r\nRATE=0.08\r\n[B]\r\nY=2\r\n"},
        {"before trailing blank lines", "[TAX]\r\nX=1\r\n\r\n \t\r\n[B]\r\n",
         "[TAX]\r\nX=1\r\nRATE=0.08\r\n\r\n \t\r\n[B]\r\n"},
        {"before trailing blank lines at the end", "[TAX]\r\nX=1\r\n\r\n\r\n", "[TAX]\r\nX=1\r\nRATE=0.08\r\n\r\n\r\n"},
        {"after a blank line between entries", "[TAX]\r\nX=1\r\n\r\nY=2\r\n\r\n[B]\r\n",
         "[TAX]\r\nX=1\r\n\r\nY=2\r\nRATE=0.08\r\n\r\n[B]\r\n"},
        {"after a comment", "[TAX]\r\nX=1\r\n; end\r\n\r\n[B]\r\n",
         "[TAX]\r\nX=1\r\n; end\r\nRATE=0.08\r\n\r\n[B]\r\n"},
        {"after a line without '='", "[TAX]\r\nodd\r\n[B]\r\n", "[TAX]\r\nodd\r\nRATE=0.08\r\n[B]\r\n"},
        {"after the header of an empty section", "[TAX]\r\n\r\n[B]\r\n", "[TAX]\r\nRATE=0.08\r\n\r\n[B]\r\n"},
        {"with CR LF in an LF file", "[TAX]\nX=1\n\n[B]\n", "[TAX]\nX=1\nRATE=0.08\r\n\n[B]\n"},
        {"after a last line without newline", "[TAX]\r\nX=1", "[TAX]\r\nX=1\r\nRATE=0.08\r\n"},
        {"after a header without newline", "[TAX]", "[TAX]\r\nRATE=0.08\r\n"},
        {"to the first matching section, not a later one", "[TAX]\r\nX=1\r\n[A]\r\n[TAX]\r\nRATE=1\r\n",
         "[TAX]\r\nX=1\r\nRATE=0.08\r\n[A]\r\n[TAX]\r\nRATE=1\r\n"},
        {"to the first matching section", "[tax]\r\nX=1\r\n[TAX]\r\nY=2\r\n",
         "[tax]\r\nX=1\r\nRATE=0.08\r\n[TAX]\r\nY=2\r\n"},
        {"a longer key is another key", "[TAX]\r\nRATES=1\r\n", "[TAX]\r\nRATES=1\r\nRATE=0.08\r\n"},
    };
    CheckWrites(std::begin(cases), std::end(cases));
}

TEST(WriteProfileString, AppendsAMissingSection) {
    const WriteCase cases[] = {
        {"empty content", "", "[TAX]\r\nRATE=0.08\r\n"},
        {"after a final CR LF", "[A]\r\nX=1\r\n", "[A]\r\nX=1\r\n[TAX]\r\nRATE=0.08\r\n"},
        {"after a final LF", "[A]\nX=1\n", "[A]\nX=1\n[TAX]\r\nRATE=0.08\r\n"},
        {"after a line without newline", "[A]\r\nX=1", "[A]\r\nX=1\r\n[TAX]\r\nRATE=0.08\r\n"},
        {"after trailing blank lines", "[A]\r\nX=1\r\n\r\n", "[A]\r\nX=1\r\n\r\n[TAX]\r\nRATE=0.08\r\n"},
        {"after a final lone CR", "[A]\r", "[A]\r\r\n[TAX]\r\nRATE=0.08\r\n"},
        {"only blanks", " ", " \r\n[TAX]\r\nRATE=0.08\r\n"},
        {"entries before any section", "RATE=1\r\n", "RATE=1\r\n[TAX]\r\nRATE=0.08\r\n"},
        {"a longer section is another section", "[TAXES]\r\nRATE=1\r\n", "[TAXES]\r\nRATE=1\r\n[TAX]\r\nRATE=0.08\r\n"},
        {"an unclosed bracket is no section", "[TAX\r\nRATE=1\r\n", "[TAX\r\nRATE=1\r\n[TAX]\r\nRATE=0.08\r\n"},
        {"a commented section is no section", ";[TAX]\r\n", ";[TAX]\r\n[TAX]\r\nRATE=0.08\r\n"},
    };
    CheckWrites(std::begin(cases), std::end(cases));
}

TEST(WriteProfileString, WritesNamesAndValueAsGiven) {
    EXPECT_EQ(WriteProfileString("", "Tax", "Rate", " \"a b\" "), "[Tax]\r\nRate= \"a b\" \r\n");
    EXPECT_EQ(WriteProfileString("[TAX]\r\nRATE=1\r\n", "tax", "rate", ""), "[TAX]\r\nrate=\r\n");
}

// A settings file with everything that must survive a write untouched.
const std::string kRichFile = "; Kalnor settings\r\n"
                              "ORPHAN=1\r\n"
                              "\r\n"
                              "[SHEET]\n"
                              "  Width = 80 \n"
                              "odd line\r\n"
                              "\t\r\n"
                              "[TAX] ; rates\r\n"
                              "NAME=\x8F\xC1\x94\xEF\x90\xC5\r\n"
                              "RATE = '0.05'\r\n"
                              "BIN=\x01\x7F\xFF\0\x02\r\n"s
                              "\r\n"
                              "[LAST]\r\n"
                              "Z=\"q\"";

TEST(WriteProfileString, KeepsEveryOtherByte) {
    struct Case {
        const char* Name;
        const char* Section;
        const char* Key;
        std::string Expected;
    };
    const Case cases[] = {
        {"replace", "tax", "rate",
         "; Kalnor settings\r\nORPHAN=1\r\n\r\n[SHEET]\n  Width = 80 \nodd line\r\n\t\r\n[TAX] ; rates\r\n"
         "NAME=\x8F\xC1\x94\xEF\x90\xC5\r\nrate=0.08\r\nBIN=\x01\x7F\xFF\0\x02\r\n\r\n[LAST]\r\nZ=\"q\""s},
        {"add to a section", "SHEET", "Height",
         "; Kalnor settings\r\nORPHAN=1\r\n\r\n[SHEET]\n  Width = 80 \nodd line\r\nHeight=0.08\r\n\t\r\n[TAX] ; "
         "rates\r\n"
         "NAME=\x8F\xC1\x94\xEF\x90\xC5\r\nRATE = '0.05'\r\nBIN=\x01\x7F\xFF\0\x02\r\n\r\n[LAST]\r\nZ=\"q\""s},
        {"add to the last section", "LAST", "Y",
         "; Kalnor settings\r\nORPHAN=1\r\n\r\n[SHEET]\n  Width = 80 \nodd line\r\n\t\r\n[TAX] ; rates\r\n"
         "NAME=\x8F\xC1\x94\xEF\x90\xC5\r\nRATE = '0.05'\r\nBIN=\x01\x7F\xFF\0\x02\r\n\r\n[LAST]\r\nZ=\"q\"\r\nY=0.08\r\n"s},
        {"append a section", "NEW", "K", kRichFile + "\r\n[NEW]\r\nK=0.08\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string written = WriteProfileString(kRichFile, c.Section, c.Key, "0.08");
        EXPECT_EQ(written, c.Expected);
        EXPECT_EQ(ReadProfileString(written, c.Section, c.Key), "0.08");
    }
}

// Whatever the file held, the written entry reads back and every other entry reads as before.
TEST(WriteProfileString, ReadsBackWithoutDisturbingOtherEntries) {
    const std::string contents[] = {
        "",
        kRichFile,
        "[TAX]\nRATE=1\n[TAX]\nRATE=2\nX=3",
        "\0\0\0[TAX]\0\r\n\xFF\xFE\r\nRATE\r\n"s,
        "[A]\r\n[B]\r\n[TAX]",
        "\n\n\n",
        "no newline at all",
    };
    // Every entry of the files above except the one written.
    const struct {
        const char* Section;
        const char* Key;
    } probes[] = {{"TAX", "NAME"}, {"TAX", "X"},   {"SHEET", "WIDTH"}, {"LAST", "Z"},
                  {"A", "RATE"},   {"", "ORPHAN"}, {"TAX", "BIN"}};
    for (const std::string& content : contents) {
        SCOPED_TRACE(content);
        const std::string written = WriteProfileString(content, "tax", "Rate", "new value");
        EXPECT_EQ(ReadProfileString(written, "TAX", "RATE"), "new value");
        for (const auto& probe : probes) {
            EXPECT_EQ(ReadProfileString(written, probe.Section, probe.Key),
                      ReadProfileString(content, probe.Section, probe.Key))
                << probe.Section << "/" << probe.Key;
        }
    }
}

TEST(ProfileString, LargeAndHostileContent) {
    // Megabytes of one line, of empty lines, and of binary bytes, with the entry at their end.
    std::string binary(3 << 20, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) {
        binary[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
    const std::string bodies[] = {std::string(4 << 20, 'x'), std::string(2 << 20, '\n'),
                                  std::string(1 << 20, '[') + "\r\n", binary, std::string(1 << 20, '=')};
    for (const std::string& body : bodies) {
        const std::string content = body + "\r\n[TAX]\r\nRATE=0.05\r\n";
        EXPECT_EQ(ReadProfileString(content, "TAX", "RATE"), "0.05");
        const std::string written = WriteProfileString(content, "TAX", "RATE", "0.08");
        EXPECT_TRUE(written == body + "\r\n[TAX]\r\nRATE=0.08\r\n");
        EXPECT_EQ(ReadProfileString(body, "TAX", "RATE"), std::nullopt);
    }
}

} // namespace
