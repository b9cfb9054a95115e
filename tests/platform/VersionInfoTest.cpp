#include "platform/VersionInfo.h"

#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/VersionBlock.h"
#include "support/TestElfFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

const std::string kEstimateUtf8 = "\xE8\xA6\x8B\xE7\xA9\x8D\xE8\xA8\x88\xE7\xAE\x97"; // 見積計算
const std::string kEstimateShiftJis = "\x8C\xA9\x90\xCF\x8C\x76\x8E\x5A";

TVersionDescription SampleDescription() {
    TVersionDescription d;
    d.FileVersion = {1, 2, 3, 4};
    d.ProductVersion = {5, 6, 7, 8};
    d.StringTables = {{"040904E4",
                       {{"CompanyName", "Kalnor Project"},
                        {"FileDescription", kEstimateUtf8},
                        {"FileVersion", "1.2.3.4"},
                        {"Comments", ""}}}};
    d.Translations = std::vector<TVersionTranslation>{{0x0409, 0x04E4}, {0x0411, 0x03A4}};
    return d;
}

WORD WordAt(const Bytes& Block, std::size_t Offset) {
    return static_cast<WORD>(Block.at(Offset) | Block.at(Offset + 1) << 8);
}

// Start of the first node whose key is Key.
std::size_t NodeAt(const Bytes& Block, std::u16string_view Key) {
    Bytes pattern;
    for (const char16_t unit : Key) {
        pattern.push_back(static_cast<unsigned char>(unit & 0xFF));
        pattern.push_back(static_cast<unsigned char>(unit >> 8));
    }
    pattern.insert(pattern.end(), {0, 0});
    const auto found = std::search(Block.begin(), Block.end(), pattern.begin(), pattern.end());
    if (found == Block.end()) {
        ADD_FAILURE() << "no node for the key";
        return 0;
    }
    return static_cast<std::size_t>(found - Block.begin()) - VersionNodeHeaderSize;
}

// What GetFileVersionInfoA leaves in the caller's buffer: the block, then room for converted texts.
Bytes Loaded(const Bytes& Block) {
    Bytes buffer(3 * std::max<std::size_t>(Block.size(), Block.size() >= 2 ? WordAt(Block, 0) : 0), 0);
    std::copy(Block.begin(), Block.end(), buffer.begin());
    return buffer;
}

struct Answer {
    BOOL Found;
    void* Pointer;
    UINT Length;
};

Answer Query(Bytes& Buffer, const char* Path) {
    Answer answer{FALSE, &answer, 12345};
    answer.Found = VerQueryValueA(Buffer.data(), Path, &answer.Pointer, &answer.Length);
    return answer;
}

// The text at Path, after checking that the reported length ends on its NUL.
std::optional<std::string> QueryText(Bytes& Buffer, const char* Path) {
    const Answer answer = Query(Buffer, Path);
    if (!answer.Found) {
        return std::nullopt;
    }
    const auto* text = static_cast<const char*>(answer.Pointer);
    EXPECT_GT(answer.Length, 0u) << Path;
    if (answer.Length == 0) {
        return std::nullopt;
    }
    EXPECT_EQ(text[answer.Length - 1], '\0') << Path;
    return std::string(text, answer.Length - 1);
}

class VersionQuery : public ::testing::Test {
protected:
    void TearDown() override { SetACP(CP_UTF8); }

    Bytes block_ = BuildVersionBlock(SampleDescription());
    Bytes buffer_ = Loaded(block_);
};

// ---- the block as written ----

TEST(BuildVersionBlock, LaysOutTranslationNodes) {
    TVersionDescription d;
    d.Translations = std::vector<TVersionTranslation>{{0x0411, 0x03A4}};
    const Bytes block = BuildVersionBlock(d);
    // Root: header, "VS_VERSION_INFO" and its NUL (32 bytes), the 52-byte fixed part at 40.
    ASSERT_EQ(block.size(), 160u);
    EXPECT_EQ(WordAt(block, 0), 160);
    EXPECT_EQ(WordAt(block, 2), 52);
    EXPECT_EQ(WordAt(block, 4), 0);
    EXPECT_EQ(WordAt(block, 40), 0x04BD);
    EXPECT_EQ(WordAt(block, 42), 0xFEEF);
    // VarFileInfo at 92: a 30-byte head padded to 124, where Translation starts.
    EXPECT_EQ(NodeAt(block, u"VarFileInfo"), 92u);
    EXPECT_EQ(WordAt(block, 92), 68);
    EXPECT_EQ(WordAt(block, 94), 0);
    EXPECT_EQ(WordAt(block, 96), 1);
    EXPECT_EQ(NodeAt(block, u"Translation"), 124u);
    EXPECT_EQ(WordAt(block, 124), 36);
    EXPECT_EQ(WordAt(block, 126), 4);
    EXPECT_EQ(WordAt(block, 128), 0);
    EXPECT_EQ(WordAt(block, 156), 0x0411);
    EXPECT_EQ(WordAt(block, 158), 0x03A4);
}

TEST(BuildVersionBlock, LaysOutStringNodes) {
    TVersionDescription d;
    d.StringTables = {{"040904E4", {{"A", "bc"}}}};
    const Bytes block = BuildVersionBlock(d);
    ASSERT_EQ(block.size(), 170u);
    EXPECT_EQ(WordAt(block, 0), 170);
    EXPECT_EQ(NodeAt(block, u"StringFileInfo"), 92u);
    EXPECT_EQ(WordAt(block, 92), 78);
    EXPECT_EQ(NodeAt(block, u"040904E4"), 128u);
    EXPECT_EQ(WordAt(block, 128), 42);
    // The string: key "A" ends at 162, the value starts on the boundary at 164; its length counts units.
    EXPECT_EQ(NodeAt(block, u"A"), 152u);
    EXPECT_EQ(WordAt(block, 152), 18);
    EXPECT_EQ(WordAt(block, 154), 3);
    EXPECT_EQ(WordAt(block, 156), 1);
    EXPECT_EQ(WordAt(block, 164), u'b');
    EXPECT_EQ(WordAt(block, 166), u'c');
    EXPECT_EQ(WordAt(block, 168), 0);
}

TEST(BuildVersionBlock, RefusesWhatTheFormatCannotHold) {
    TVersionDescription tooLong;
    tooLong.StringTables = {{"040904E4", {{"Comments", std::string(40000, 'x')}}}};
    EXPECT_THROW(BuildVersionBlock(tooLong), Exception);
    TVersionDescription notUtf8;
    notUtf8.StringTables = {{"040904E4", {{"Comments", "\xFF"}}}};
    EXPECT_THROW(BuildVersionBlock(notUtf8), Exception);
}

// ---- VerQueryValueA ----

TEST_F(VersionQuery, RootIsTheFixedInfo) {
    const Answer answer = Query(buffer_, "\\");
    ASSERT_TRUE(answer.Found);
    ASSERT_EQ(answer.Length, 52u);
    EXPECT_EQ(answer.Pointer, buffer_.data() + 40);
    VS_FIXEDFILEINFO info{};
    std::memcpy(&info, answer.Pointer, sizeof info);
    EXPECT_EQ(info.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info.dwStrucVersion, 0x00010000u);
    EXPECT_EQ(info.dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(info.dwFileVersionLS, 0x00030004u);
    EXPECT_EQ(info.dwProductVersionMS, 0x00050006u);
    EXPECT_EQ(info.dwProductVersionLS, 0x00070008u);
    EXPECT_EQ(info.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(info.dwFileFlags, 0u);
    EXPECT_EQ(info.dwFileOS, 0x40004u);
    EXPECT_EQ(info.dwFileType, 1u);
    EXPECT_EQ(info.dwFileSubtype, 0u);
    EXPECT_EQ(info.dwFileDateMS, 0u);
    EXPECT_EQ(info.dwFileDateLS, 0u);
}

TEST_F(VersionQuery, TranslationListIsReturnedInPlace) {
    const Answer answer = Query(buffer_, "\\VarFileInfo\\Translation");
    ASSERT_TRUE(answer.Found);
    ASSERT_EQ(answer.Length, 8u);
    const auto* list = static_cast<const unsigned char*>(answer.Pointer);
    EXPECT_GE(list, buffer_.data());
    EXPECT_LE(list + 8, buffer_.data() + block_.size());
    DWORD entries[2];
    std::memcpy(entries, list, sizeof entries);
    EXPECT_EQ(entries[0], 0x04E40409u);
    EXPECT_EQ(entries[1], 0x03A40411u);
}

TEST_F(VersionQuery, FindsStringsWhateverTheLetterCase) {
    const struct {
        const char* Meaning;
        const char* Path;
        std::string Expected;
    } cases[] = {
        {"as written", "\\StringFileInfo\\040904E4\\CompanyName", "Kalnor Project"},
        {"lower case", "\\stringfileinfo\\040904e4\\companyname", "Kalnor Project"},
        {"upper case", "\\STRINGFILEINFO\\040904E4\\FILEVERSION", "1.2.3.4"},
        {"doubled and trailing separators", "\\\\StringFileInfo\\\\040904E4\\FileVersion\\", "1.2.3.4"},
        {"no leading separator", "StringFileInfo\\040904E4\\FileVersion", "1.2.3.4"},
        {"non-ASCII value", "\\StringFileInfo\\040904E4\\FileDescription", kEstimateUtf8},
        {"empty value", "\\StringFileInfo\\040904E4\\Comments", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QueryText(buffer_, c.Path), c.Expected) << c.Meaning;
    }
}

TEST_F(VersionQuery, TextsComeInTheActiveCodePage) {
    SetACP(CP_SHIFT_JIS);
    const Answer answer = Query(buffer_, "\\StringFileInfo\\040904E4\\FileDescription");
    ASSERT_TRUE(answer.Found);
    EXPECT_EQ(answer.Length, kEstimateShiftJis.size() + 1);
    EXPECT_EQ(QueryText(buffer_, "\\StringFileInfo\\040904E4\\FileDescription"), kEstimateShiftJis);
}

TEST_F(VersionQuery, EarlierTextsSurviveLaterQueries) {
    std::vector<const char*> kept;
    for (const char* key : {"CompanyName", "FileDescription", "FileVersion", "Comments"}) {
        const std::string path = std::string("\\StringFileInfo\\040904E4\\") + key;
        const Answer answer = Query(buffer_, path.c_str());
        ASSERT_TRUE(answer.Found) << key;
        const auto* text = static_cast<const char*>(answer.Pointer);
        // Converted texts live after the block, inside the buffer.
        EXPECT_GE(text, reinterpret_cast<const char*>(buffer_.data() + block_.size())) << key;
        EXPECT_LE(text + answer.Length, reinterpret_cast<const char*>(buffer_.data() + buffer_.size())) << key;
        kept.push_back(text);
    }
    ASSERT_EQ(kept.size(), 4u);
    EXPECT_STREQ(kept[0], "Kalnor Project");
    EXPECT_STREQ(kept[1], kEstimateUtf8.c_str());
    EXPECT_STREQ(kept[2], "1.2.3.4");
    EXPECT_STREQ(kept[3], "");
}

TEST_F(VersionQuery, MissingPathsFailWithNothing) {
    for (const char* path : {
             "\\StringFileInfo\\040904E4\\ProductName",
             "\\StringFileInfo\\040904E4\\Company",
             "\\StringFileInfo\\040904E4\\CompanyNameX",
             "\\StringFileInfo\\041103A4\\CompanyName",
             "\\StringFileInfo\\040904E4\\CompanyName\\Deeper",
             "\\VarFileInfo\\Translations",
             "\\VS_VERSION_INFO",
             "\\NoSuchNode",
             "\\StringFileInfo\\040904E4\\\xFF",
         }) {
        const Answer answer = Query(buffer_, path);
        EXPECT_FALSE(answer.Found) << path;
        EXPECT_EQ(answer.Length, 0u) << path;
        EXPECT_EQ(answer.Pointer, nullptr) << path;
    }
}

TEST_F(VersionQuery, RefusesMissingArguments) {
    void* pointer = nullptr;
    UINT length = 0;
    EXPECT_FALSE(VerQueryValueA(nullptr, "\\", &pointer, &length));
    EXPECT_FALSE(VerQueryValueA(buffer_.data(), nullptr, &pointer, &length));
    EXPECT_FALSE(VerQueryValueA(buffer_.data(), "\\", nullptr, &length));
    EXPECT_FALSE(VerQueryValueA(buffer_.data(), "\\", &pointer, nullptr));
}

struct Damage {
    const char* Meaning;
    std::function<void(Bytes&)> Apply;
    const char* Path;
};

void PutWord(Bytes& Block, std::size_t Offset, WORD Value) {
    Block.at(Offset) = static_cast<unsigned char>(Value & 0xFF);
    Block.at(Offset + 1) = static_cast<unsigned char>(Value >> 8);
}

constexpr const char* kCompanyPath = "\\StringFileInfo\\040904E4\\CompanyName";
constexpr const char* kTranslationPath = "\\VarFileInfo\\Translation";

const Damage kDamages[] = {
    {"root length zero", [](Bytes& B) { PutWord(B, 0, 0); }, "\\"},
    {"root shorter than a header", [](Bytes& B) { PutWord(B, 0, 5); }, "\\"},
    {"root cut inside its key", [](Bytes& B) { PutWord(B, 0, 20); }, "\\"},
    {"root's fixed part longer than the root", [](Bytes& B) { PutWord(B, 2, 0x2000); }, "\\"},
    {"first child of zero length ends the walk", [](Bytes& B) { PutWord(B, NodeAt(B, u"StringFileInfo"), 0); },
     kTranslationPath},
    {"child shorter than a header", [](Bytes& B) { PutWord(B, NodeAt(B, u"StringFileInfo"), 4); }, kCompanyPath},
    {"child longer than its parent", [](Bytes& B) { PutWord(B, NodeAt(B, u"040904E4"), static_cast<WORD>(B.size())); },
     kCompanyPath},
    {"key without its NUL inside the node", [](Bytes& B) { PutWord(B, NodeAt(B, u"CompanyName"), 6 + 2 * 11); },
     kCompanyPath},
    {"binary value longer than its node", [](Bytes& B) { PutWord(B, NodeAt(B, u"Translation") + 2, 200); },
     kTranslationPath},
    {"node longer than the block", [](Bytes& B) { PutWord(B, NodeAt(B, u"VarFileInfo"), 0xF000); }, kTranslationPath},
};

TEST(VerQueryValueA, MalformedBlocksFail) {
    const Bytes good = BuildVersionBlock(SampleDescription());
    for (const auto& damage : kDamages) {
        Bytes block = good;
        Bytes intact = Loaded(block);
        ASSERT_TRUE(Query(intact, damage.Path).Found) << damage.Meaning;
        damage.Apply(block);
        Bytes buffer = Loaded(block);
        const Answer answer = Query(buffer, damage.Path);
        EXPECT_FALSE(answer.Found) << damage.Meaning;
        EXPECT_EQ(answer.Length, 0u) << damage.Meaning;
    }
}

TEST(VerQueryValueA, TextLengthPastItsNodeIsReadUpToTheNul) {
    Bytes block = BuildVersionBlock(SampleDescription());
    PutWord(block, NodeAt(block, u"CompanyName") + 2, 0xFFFF);
    Bytes buffer = Loaded(block);
    EXPECT_EQ(QueryText(buffer, kCompanyPath), "Kalnor Project");
    EXPECT_EQ(QueryText(buffer, "\\StringFileInfo\\040904E4\\FileVersion"), "1.2.3.4");
}

TEST(VerQueryValueA, AnyOneByteChangeStaysInsideTheBuffer) {
    const Bytes good = BuildVersionBlock(SampleDescription());
    const char* paths[] = {"\\",
                           kTranslationPath,
                           kCompanyPath,
                           "\\StringFileInfo\\040904E4\\FileDescription",
                           "\\StringFileInfo\\040904E4\\Comments",
                           "\\StringFileInfo\\040904E4\\Missing"};
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (const unsigned char value : {0x00, 0x01, 0x06, 0x7F, 0x80, 0xFF}) {
            Bytes block = good;
            block[at] = value;
            Bytes buffer = Loaded(block);
            for (const char* path : paths) {
                const Answer answer = Query(buffer, path);
                if (answer.Found && answer.Length > 0) {
                    const auto* start = static_cast<const unsigned char*>(answer.Pointer);
                    EXPECT_GE(start, buffer.data()) << at;
                    EXPECT_LE(start + answer.Length, buffer.data() + buffer.size()) << at;
                }
            }
        }
    }
}

// ---- files ----

class VersionFile : public ::testing::Test {
protected:
    std::string Write(const std::string& Name, const std::vector<TestElfSection>& Sections) {
        const std::string path = dir_.filePath(QString::fromStdString(Name)).toStdString();
        WriteTestFile(path, BuildTestElf(Sections));
        return path;
    }

    std::string WithBlock(const std::string& Name, const Bytes& Block) {
        return Write(Name, {{".text", {0xC3}}, {std::string(VersionSectionName), Block}});
    }

    QTemporaryDir dir_;
    Bytes block_ = BuildVersionBlock(SampleDescription());
};

TEST_F(VersionFile, SizeIsThreeTimesTheBlock) {
    ASSERT_TRUE(dir_.isValid());
    DWORD handle = 77;
    EXPECT_EQ(GetFileVersionInfoSizeA(WithBlock("app", block_).c_str(), &handle), 3 * block_.size());
    EXPECT_EQ(handle, 0u);
    // Whatever follows the block in its section is not part of it.
    Bytes padded = block_;
    padded.resize(padded.size() + 64, 0xAA);
    EXPECT_EQ(GetFileVersionInfoSizeA(WithBlock("padded", padded).c_str(), nullptr), 3 * block_.size());
}

TEST_F(VersionFile, NoPlausibleBlockGivesZero) {
    ASSERT_TRUE(dir_.isValid());
    Bytes wrongKey = block_;
    wrongKey[6 + 2 * 14] = 'X';
    const Bytes cut(block_.begin(), block_.end() - 1);
    Bytes zeroLength = block_;
    PutWord(zeroLength, 0, 0);
    const std::string text = dir_.filePath(QStringLiteral("notes.txt")).toStdString();
    WriteTestFile(text, Bytes(300, 'x'));
    const struct {
        const char* Meaning;
        std::string Path;
    } cases[] = {
        {"no such file", dir_.filePath(QStringLiteral("absent")).toStdString()},
        {"not an executable", text},
        {"no version section", Write("plain", {{".text", {0xC3}}})},
        {"empty version section", WithBlock("empty", {})},
        {"section without file space", Write("nobits", {{std::string(VersionSectionName), block_, SHT_NOBITS}})},
        {"root key is not VS_VERSION_INFO", WithBlock("wrongkey", wrongKey)},
        {"block longer than its section", WithBlock("cut", cut)},
        {"block of zero length", WithBlock("zero", zeroLength)},
    };
    for (const auto& c : cases) {
        DWORD handle = 77;
        EXPECT_EQ(GetFileVersionInfoSizeA(c.Path.c_str(), &handle), 0u) << c.Meaning;
        EXPECT_EQ(handle, 0u) << c.Meaning;
        Bytes buffer(3 * block_.size() + 16);
        EXPECT_FALSE(GetFileVersionInfoA(c.Path.c_str(), 0, static_cast<DWORD>(buffer.size()), buffer.data()))
            << c.Meaning;
    }
    EXPECT_EQ(GetFileVersionInfoSizeA(nullptr, nullptr), 0u);
}

TEST_F(VersionFile, CopiesTheBlockIntoABufferOfTheGivenSize) {
    ASSERT_TRUE(dir_.isValid());
    const std::string path = WithBlock("app", block_);
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
    ASSERT_EQ(size, 3 * block_.size());
    Bytes buffer(size, 0xEE);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, buffer.data()));
    EXPECT_TRUE(std::equal(block_.begin(), block_.end(), buffer.begin()));
    EXPECT_EQ(QueryText(buffer, "\\StringFileInfo\\040904E4\\FileVersion"), "1.2.3.4");
}

TEST_F(VersionFile, RefusesABufferWithoutRoomForTexts) {
    ASSERT_TRUE(dir_.isValid());
    const std::string path = WithBlock("app", block_);
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
    Bytes buffer(size);
    for (const DWORD length :
         {DWORD{0}, static_cast<DWORD>(block_.size() - 1), static_cast<DWORD>(block_.size()), size - 1}) {
        EXPECT_FALSE(GetFileVersionInfoA(path.c_str(), 0, length, buffer.data())) << length;
    }
    EXPECT_FALSE(GetFileVersionInfoA(path.c_str(), 0, size, nullptr));
}

// ---- the description format ----

TEST(ParseVersionDescription, ReadsEveryStatement) {
    const TVersionDescription d = ParseVersionDescription("# comment\r\n"
                                                          "FileVersion 1.2.3.65535\r\n"
                                                          "  ProductVersion\t5.6.7.8\n"
                                                          "\n"
                                                          "Translation 0411 03a4\n"
                                                          "Translation 0409 04E4\n"
                                                          "StringTable 041103A4\n"
                                                          "String CompanyName  Kalnor  Project  \n"
                                                          "String Comments\n"
                                                          "StringTable 040904E4\n"
                                                          "String FileDescription " +
                                                          kEstimateUtf8);
    EXPECT_EQ(d.FileVersion, (TVersionNumber{1, 2, 3, 65535}));
    EXPECT_EQ(d.ProductVersion, (TVersionNumber{5, 6, 7, 8}));
    ASSERT_TRUE(d.Translations.has_value());
    ASSERT_EQ(d.Translations->size(), 2u);
    EXPECT_EQ((*d.Translations)[0].Language, 0x0411);
    EXPECT_EQ((*d.Translations)[0].CodePage, 0x03A4);
    EXPECT_EQ((*d.Translations)[1].Language, 0x0409);
    EXPECT_EQ((*d.Translations)[1].CodePage, 0x04E4);
    ASSERT_EQ(d.StringTables.size(), 2u);
    EXPECT_EQ(d.StringTables[0].Key, "041103A4");
    ASSERT_EQ(d.StringTables[0].Strings.size(), 2u);
    EXPECT_EQ(d.StringTables[0].Strings[0].Key, "CompanyName");
    EXPECT_EQ(d.StringTables[0].Strings[0].Value, "Kalnor  Project");
    EXPECT_EQ(d.StringTables[0].Strings[1].Key, "Comments");
    EXPECT_EQ(d.StringTables[0].Strings[1].Value, "");
    ASSERT_EQ(d.StringTables[1].Strings.size(), 1u);
    EXPECT_EQ(d.StringTables[1].Strings[0].Value, kEstimateUtf8);
}

TEST(ParseVersionDescription, WithoutTranslationsThereIsNoList) {
    const TVersionDescription d = ParseVersionDescription("FileVersion 1.0.0.0\nProductVersion 1.0.0.0\n");
    EXPECT_FALSE(d.Translations.has_value());
    EXPECT_TRUE(d.StringTables.empty());
}

TEST(ParseVersionDescription, NamesTheLineOfAFault) {
    const std::string head = "FileVersion 1.0.0.0\nProductVersion 1.0.0.0\n";
    const struct {
        const char* Meaning;
        std::string Text;
        const char* Message;
    } cases[] = {
        {"unknown statement", head + "Company Kalnor\n", "line 3:"},
        {"three-part version", "FileVersion 1.0.0\n", "line 1:"},
        {"five-part version", "FileVersion 1.0.0.0.0\n", "line 1:"},
        {"part out of range", "FileVersion 1.0.0.65536\n", "line 1:"},
        {"signed part", "FileVersion 1.+0.0.0\n", "line 1:"},
        {"empty part", "FileVersion 1..0.0\n", "line 1:"},
        {"words after the version", "FileVersion 1.0.0.0 beta\n", "line 1:"},
        {"version twice", head + "FileVersion 2.0.0.0\n", "line 3:"},
        {"short language", head + "Translation 411 03A4\n", "line 3:"},
        {"no code page", head + "Translation 0411\n", "line 3:"},
        {"non-hex code page", head + "Translation 0411 03G4\n", "line 3:"},
        {"string before a table", head + "String CompanyName Kalnor\n", "line 3:"},
        {"short table key", head + "StringTable 0411\n", "line 3:"},
        {"table twice", head + "StringTable 041103A4\nStringTable 041103A4\n", "line 4:"},
        {"string without a name", head + "StringTable 041103A4\nString\n", "line 4:"},
        {"string twice", head + "StringTable 041103A4\nString A x\nString A y\n", "line 5:"},
        {"value not UTF-8", head + "StringTable 041103A4\nString A \xE8\xA6\n", "line 4:"},
        {"no file version", "ProductVersion 1.0.0.0\n", "no FileVersion"},
        {"no product version", "FileVersion 1.0.0.0\n", "no ProductVersion"},
    };
    for (const auto& c : cases) {
        try {
            ParseVersionDescription(c.Text);
            ADD_FAILURE() << c.Meaning << ": accepted";
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find(c.Message), std::string::npos) << c.Meaning << ": " << e.Message();
        }
    }
}

// ---- UTF-8 and UTF-16 ----

TEST(Utf8ToUtf16, ConvertsWellFormedText) {
    EXPECT_EQ(Utf8ToUtf16("A\xC3\xA9" + kEstimateUtf8 + "\xF0\x9F\x98\x80"),
              std::u16string(u"A\u00E9\u898B\u7A4D\u8A08\u7B97\U0001F600"));
    EXPECT_EQ(Utf8ToUtf16(""), std::u16string());
}

TEST(Utf8ToUtf16, RefusesMalformedText) {
    for (const char* text : {
             "\x80",             // continuation without a lead
             "\xC0\xAF",         // overlong '/'
             "\xE0\x80\xAF",     // overlong '/'
             "\xED\xA0\x80",     // surrogate
             "\xF4\x90\x80\x80", // past U+10FFFF
             "\xE8\xA6",         // cut short
             "\xE8\x41\x8B",     // broken sequence
             "\xFF",
         }) {
        EXPECT_FALSE(Utf8ToUtf16(text).has_value()) << testing::PrintToString(std::string(text));
    }
}

TEST(Utf16ToUtf8, ConvertsPairsAndReplacesLoneSurrogates) {
    EXPECT_EQ(Utf16ToUtf8(u"A\u00E9\u898B\U0001F600"), "A\xC3\xA9\xE8\xA6\x8B\xF0\x9F\x98\x80");
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00};
    EXPECT_EQ(Utf16ToUtf8(std::u16string_view(lone, 4)), "a\xEF\xBF\xBD"
                                                         "b\xEF\xBF\xBD");
}

} // namespace
