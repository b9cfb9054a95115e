#include "ui/AppFiles.h"

#include "platform/CodePage.h"
#include "platform/ModulePath.h"
#include "platform/VersionBlock.h"
#include "platform/VersionInfo.h"
#include "support/TestElfFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace {

std::string ExecutableLink() {
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

class AppFiles : public ::testing::Test {
protected:
    void TearDown() override { SetACP(CP_UTF8); }
};

// ---- names from paths ----

struct PathCase {
    const char* Meaning;
    std::string Path;
    std::string Dir;
    std::string Name; // with ".ini"
};

void CheckPaths(const std::vector<PathCase>& Cases) {
    for (const auto& c : Cases) {
        EXPECT_EQ(AppDirOf(c.Path), c.Dir) << c.Meaning;
        EXPECT_EQ(AppFileNameOf(c.Path, ".ini"), c.Name) << c.Meaning;
    }
}

TEST_F(AppFiles, SplitsUtf8Paths) {
    CheckPaths({
        {"plain executable", "/usr/local/bin/kalnor", "/usr/local/bin/", "kalnor.ini"},
        {"extension replaced", "/opt/kalnor/kalnor.exe", "/opt/kalnor/", "kalnor.ini"},
        {"only the last extension goes", "/opt/price.list.exe", "/opt/", "price.list.ini"},
        {"periods in the directory do not count", "/opt/v1.2/kalnor", "/opt/v1.2/", "kalnor.ini"},
        {"trailing period", "/opt/kalnor.", "/opt/", "kalnor.ini"},
        {"name that is all extension", "/home/user/.kalnor", "/home/user/", ".ini"},
        {"at the root", "/kalnor", "/", "kalnor.ini"},
        {"no separator", "kalnor.exe", "", "kalnor.ini"},
        {"ends in a separator", "/opt/kalnor/", "/opt/kalnor/", ".ini"},
        {"empty", "", "", ".ini"},
        {"backslash is a name character", "/opt/a\\b.c\\kalnor", "/opt/", "a\\b.ini"},
        {"multi-byte names", "/opt/\xE8\xA6\x8B\xE7\xA9\x8D/\xE8\xA6\x8B.exe", "/opt/\xE8\xA6\x8B\xE7\xA9\x8D/",
         "\xE8\xA6\x8B.ini"},
        // In UTF-8 no byte is a trail byte for these searches, whatever precedes it.
        {"byte 0x95 before a separator", "/opt/a\x95/kalnor", "/opt/a\x95/", "kalnor.ini"},
        {"byte 0x95 before a period", "/opt/kalnor\x95.exe", "/opt/", "kalnor\x95.ini"},
    });
}

TEST_F(AppFiles, SkipsTrailBytesOfShiftJis) {
    SetACP(CP_SHIFT_JIS);
    CheckPaths({
        // 表 is 0x95 0x5C: its trail byte looks like a backslash.
        {"directory ending in a double-byte character", "/opt/\x95\x5C/kalnor.exe", "/opt/\x95\x5C/", "kalnor.ini"},
        // ポ is 0x83 0x7C.
        {"double-byte file name", "/opt/\x83\x7C\x83\x7C.exe", "/opt/", "\x83\x7C\x83\x7C.ini"},
        {"double-byte characters on both sides of a period", "/\x83\x7C.\x83\x7C/\x95\x5C.\x83\x7C",
         "/\x83\x7C.\x83\x7C/", "\x95\x5C.ini"},
        {"lead byte followed by a lead-range trail", "/\x95\x95/kalnor.exe", "/\x95\x95/", "kalnor.ini"},
        // A lead byte takes the next byte as its trail even when that is '/' or '.', so neither counts there.
        {"separator taken as a trail byte", "/opt/a\x95/kalnor", "/opt/", "a\x95/kalnor.ini"},
        {"period taken as a trail byte", "/opt/kalnor\x95.exe", "/opt/", "kalnor\x95.exe.ini"},
    });
}

TEST_F(AppFiles, ExtensionIsAppendedAsGiven) {
    EXPECT_EQ(AppFileNameOf("/opt/price.list.exe", ".INI"), "price.list.INI");
    EXPECT_EQ(AppFileNameOf("/opt/price.list.exe", ""), "price.list");
    EXPECT_EQ(AppFileNameOf("/opt/price.list.exe", ".cfg.bak"), "price.list.cfg.bak");
    EXPECT_EQ(AppFileNameOf("/opt/price", "_log.txt"), "price_log.txt");
}

// ---- the running executable ----

TEST_F(AppFiles, ModuleFileNameIsTheExecutable) {
    const std::string link = ExecutableLink();
    ASSERT_FALSE(link.empty());
    EXPECT_EQ(ModuleFileName(), link);
}

TEST_F(AppFiles, GetModuleFileNameCutsToTheBuffer) {
    const std::string link = ExecutableLink();
    const auto length = static_cast<DWORD>(link.size());
    const struct {
        const char* Meaning;
        DWORD Size;
        DWORD Result;
        std::string Text;
    } cases[] = {
        {"ample room", length + 100, length, link},
        {"exactly room for the NUL", length + 1, length, link},
        {"no room for the NUL", length, length, link.substr(0, length - 1)},
        {"room for half", length / 2, length / 2, link.substr(0, length / 2 - 1)},
        {"room for the NUL only", 1, 1, ""},
    };
    for (const auto& c : cases) {
        std::vector<char> buffer(c.Size + 8, 'Z');
        EXPECT_EQ(GetModuleFileNameA(nullptr, buffer.data(), c.Size), c.Result) << c.Meaning;
        EXPECT_EQ(std::string(buffer.data()), c.Text) << c.Meaning;
        EXPECT_EQ(buffer[c.Size], 'Z') << c.Meaning << ": wrote past the buffer";
    }
}

TEST_F(AppFiles, GetModuleFileNameRefusesOtherModulesAndNoBuffer) {
    char buffer[16] = "unchanged";
    int other = 0;
    EXPECT_EQ(GetModuleFileNameA(&other, buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "unchanged");
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 0), 0u);
    EXPECT_STREQ(buffer, "unchanged");
    EXPECT_EQ(GetModuleFileNameA(nullptr, nullptr, 100), 0u);
}

TEST_F(AppFiles, AppDirAndFileNameAreThoseOfTheRunningExecutable) {
    const std::filesystem::path link = ExecutableLink();
    EXPECT_EQ(GetAppDir(), link.parent_path().string() + "/");
    EXPECT_EQ(GetAppFileName(".ini"), link.stem().string() + ".ini");
}

// ---- version texts ----

const char* const kAllKeys[] = {"CompanyName",    "FileDescription",  "FileVersion", "InternalName",
                                "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion"};

TEST_F(AppFiles, VersionKeysAreThePathsOfTheStandardTexts) {
    ASSERT_EQ(VersionKeys.size(), std::size(kAllKeys));
    for (std::size_t i = 0; i < VersionKeys.size(); ++i) {
        EXPECT_EQ(std::string(VersionKeys[i]), std::string("\\") + kAllKeys[i]) << i;
    }
}

class VersionText : public AppFiles {
protected:
    // A small executable whose version block has the given tables and translations.
    std::string File(const std::string& Name, std::vector<TVersionStringTable> Tables,
                     std::optional<std::vector<TVersionTranslation>> Translations) {
        TVersionDescription description;
        description.FileVersion = {1, 0, 0, 0};
        description.ProductVersion = {1, 0, 0, 0};
        description.StringTables = std::move(Tables);
        description.Translations = std::move(Translations);
        const std::string path = dir_.filePath(QString::fromStdString(Name)).toStdString();
        WriteTestFile(
            path, BuildTestElf({{".text", {0xC3}}, {std::string(VersionSectionName), BuildVersionBlock(description)}}));
        return path;
    }

    static TVersionStringTable Table(const std::string& Key, const std::string& Prefix) {
        TVersionStringTable table{Key, {}};
        for (const char* key : kAllKeys) {
            table.Strings.push_back({key, Prefix + key});
        }
        return table;
    }

    static std::vector<TVersionTranslation> Translations(std::initializer_list<TVersionTranslation> List) {
        return List;
    }

    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QTemporaryDir dir_;
};

TEST_F(VersionText, ReadsEachKeyFromTheFirstTranslationsTable) {
    const std::string path = File("app", {Table("040904E4", "en ")}, Translations({{0x0409, 0x04E4}}));
    for (std::uint8_t i = 0; i < 8; ++i) {
        EXPECT_EQ(GetVersionText(path, i), std::string("en ") + kAllKeys[i]) << int{i};
    }
}

TEST_F(VersionText, TableIsNamedLanguageFirst) {
    const std::string path =
        File("app", {Table("03A40411", "swapped "), Table("041103A4", "right ")}, Translations({{0x0411, 0x03A4}}));
    EXPECT_EQ(GetVersionText(path, 2), "right FileVersion");
}

TEST_F(VersionText, OnlyTheFirstTranslationIsTried) {
    const std::string path =
        File("app", {Table("041103A4", "ja ")}, Translations({{0x0409, 0x04E4}, {0x0411, 0x03A4}}));
    for (std::uint8_t i = 0; i < 8; ++i) {
        EXPECT_EQ(GetVersionText(path, i), "") << int{i};
    }
    const std::string second =
        File("second", {Table("041103A4", "ja ")}, Translations({{0x0411, 0x03A4}, {0x0409, 0x04E4}}));
    EXPECT_EQ(GetVersionText(second, 0), "ja CompanyName");
}

TEST_F(VersionText, MissingPiecesGiveEmptyText) {
    TVersionStringTable withoutProduct{"040904E4", {{"CompanyName", "Kalnor Project"}, {"FileVersion", "1.0.0.0"}}};
    const std::string kalnorLike = File("kalnorlike", {withoutProduct}, Translations({{0x0409, 0x04E4}}));
    const std::string textFile = dir_.filePath(QStringLiteral("notes.txt")).toStdString();
    WriteTestFile(textFile, std::vector<unsigned char>(300, 'x'));
    const std::string plain = dir_.filePath(QStringLiteral("plain")).toStdString();
    WriteTestFile(plain, BuildTestElf({{".text", {0xC3}}}));

    const struct {
        const char* Meaning;
        std::string Path;
        std::uint8_t Index;
    } cases[] = {
        {"no such file", dir_.filePath(QStringLiteral("absent")).toStdString(), 2},
        {"not an executable", textFile, 2},
        {"executable without a block", plain, 2},
        {"block without a translation list", File("nolist", {Table("040904E4", "")}, std::nullopt), 2},
        {"empty translation list", File("emptylist", {Table("040904E4", "")}, Translations({})), 2},
        {"translation without any table", File("notables", {}, Translations({{0x0409, 0x04E4}})), 2},
        {"no ProductName", kalnorLike, 6},
        {"no ProductVersion", kalnorLike, 7},
        {"index past the keys", kalnorLike, 8},
        {"index far past the keys", kalnorLike, 255},
    };
    ASSERT_EQ(GetVersionText(kalnorLike, 2), "1.0.0.0");
    for (const auto& c : cases) {
        EXPECT_EQ(GetVersionText(c.Path, c.Index), "") << c.Meaning;
    }
}

TEST_F(VersionText, TextIsInTheActiveCodePage) {
    TVersionStringTable table{"041103A4", {{"FileDescription", "\xE8\xA6\x8B\xE7\xA9\x8D"}}}; // 見積
    const std::string path = File("app", {table}, Translations({{0x0411, 0x03A4}}));
    EXPECT_EQ(GetVersionText(path, 1), "\xE8\xA6\x8B\xE7\xA9\x8D");
    SetACP(CP_SHIFT_JIS);
    EXPECT_EQ(GetVersionText(path, 1), "\x8C\xA9\x90\xCF");
}

#ifdef KALNOR_EXECUTABLE
TEST_F(AppFiles, KalnorExecutableCarriesItsVersion) {
    EXPECT_EQ(GetVersionText(KALNOR_EXECUTABLE, 2), "1.0.0.0");
    EXPECT_EQ(GetVersionText(KALNOR_EXECUTABLE, 3), "kalnor");
    EXPECT_EQ(GetVersionText(KALNOR_EXECUTABLE, 5), "kalnor");
    EXPECT_EQ(GetVersionText(KALNOR_EXECUTABLE, 6), "");
    EXPECT_EQ(GetVersionText(KALNOR_EXECUTABLE, 7), "");
}
#endif

} // namespace
