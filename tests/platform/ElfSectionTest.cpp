#include "platform/ElfSection.h"

#include "support/TestElfFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

// Read back from this very executable: the linker keeps a section of our own naming as it stands.
[[gnu::used, gnu::section("kalnor_elftest")]] const unsigned char kOwnSection[] = {'K', 'a', 'l', 'n', 'o',
                                                                                   'r', 0,   1,   2,   0xFF};

using Bytes = std::vector<unsigned char>;

const Bytes kTextBytes = {0x55, 0x48, 0x89, 0xE5, 0xC3};
const Bytes kVersionBytes = {'v', 'e', 'r', 's', 'i', 'o', 'n', 0};

// Index 1 .text, 2 kalnor_version, 3 .bss, 4 .shstrtab; "kalnor_version" is not the last name in the table.
Bytes SampleImage() {
    return BuildTestElf({
        {".text", kTextBytes},
        {"kalnor_version", kVersionBytes},
        {".bss", Bytes(64, 0), SHT_NOBITS},
    });
}

Bytes ToBytes(std::span<const unsigned char> Section) {
    return Bytes(Section.begin(), Section.end());
}

std::optional<Bytes> Find(const Bytes& File, std::string_view Name) {
    const auto section = FindElfSection(File, Name);
    if (!section) {
        return std::nullopt;
    }
    return ToBytes(*section);
}

TEST(FindElfSection, ReturnsTheBytesOfTheNamedSection) {
    const Bytes file = SampleImage();
    EXPECT_EQ(Find(file, ".text"), kTextBytes);
    EXPECT_EQ(Find(file, "kalnor_version"), kVersionBytes);
    const std::string names(1, '\0');
    const auto table = Find(file, ".shstrtab");
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(std::string(table->begin(), table->end()),
              names + ".text" + names + "kalnor_version" + names + ".bss" + names + ".shstrtab" + names);
}

TEST(FindElfSection, PointsIntoTheGivenBytes) {
    const Bytes file = SampleImage();
    const auto section = FindElfSection(file, "kalnor_version");
    ASSERT_TRUE(section.has_value());
    EXPECT_EQ(section->data(), file.data() + sizeof(Elf64_Ehdr) + kTextBytes.size());
}

TEST(FindElfSection, SectionWithoutFileSpaceIsEmpty) {
    const auto section = FindElfSection(SampleImage(), ".bss");
    ASSERT_TRUE(section.has_value());
    EXPECT_TRUE(section->empty());
}

TEST(FindElfSection, NameMustMatchWhole) {
    const Bytes file = SampleImage();
    for (const std::string_view name : {".tex", ".textx", ".TEXT", "kalnor", "", "text"}) {
        EXPECT_FALSE(FindElfSection(file, name).has_value()) << name;
    }
}

TEST(FindElfSection, FirstOfTwoSectionsWithOneName) {
    const Bytes file = BuildTestElf({{"dup", {1}}, {"dup", {2}}});
    EXPECT_EQ(Find(file, "dup"), Bytes{1});
}

TEST(FindElfSection, ReadsTheCountAndNameIndexKeptInSectionZero) {
    Bytes file = SampleImage();
    const std::size_t zero = TestElfSectionHeader(file, 0);
    PutLe(file, offsetof(Elf64_Ehdr, e_shnum), 0, sizeof(Elf64_Half));
    PutLe(file, offsetof(Elf64_Ehdr, e_shstrndx), SHN_XINDEX, sizeof(Elf64_Half));
    PutLe(file, zero + offsetof(Elf64_Shdr, sh_size), 5, sizeof(Elf64_Xword));
    PutLe(file, zero + offsetof(Elf64_Shdr, sh_link), 4, sizeof(Elf64_Word));
    EXPECT_EQ(Find(file, "kalnor_version"), kVersionBytes);
}

struct Corruption {
    const char* Meaning;
    std::function<void(Bytes&)> Apply;
};

void PutHeader(Bytes& File, std::size_t Field, std::uint64_t Value, std::size_t Width) {
    PutLe(File, Field, Value, Width);
}

void PutSection(Bytes& File, std::size_t Index, std::size_t Field, std::uint64_t Value, std::size_t Width) {
    PutLe(File, TestElfSectionHeader(File, Index) + Field, Value, Width);
}

constexpr std::uint64_t kHuge = std::numeric_limits<std::uint64_t>::max();

const Corruption kCorruptions[] = {
    {"bad magic", [](Bytes& F) { F[1] = 'e'; }},
    {"32-bit class", [](Bytes& F) { F[EI_CLASS] = ELFCLASS32; }},
    {"big-endian", [](Bytes& F) { F[EI_DATA] = ELFDATA2MSB; }},
    {"no section table", [](Bytes& F) { PutHeader(F, offsetof(Elf64_Ehdr, e_shoff), 0, 8); }},
    {"table past the end", [](Bytes& F) { PutHeader(F, offsetof(Elf64_Ehdr, e_shoff), F.size(), 8); }},
    {"table offset wraps", [](Bytes& F) { PutHeader(F, offsetof(Elf64_Ehdr, e_shoff), kHuge - 16, 8); }},
    {"entries smaller than a header", [](Bytes& F) { PutHeader(F, offsetof(Elf64_Ehdr, e_shentsize), 32, 2); }},
    {"more entries than the file holds", [](Bytes& F) { PutHeader(F, offsetof(Elf64_Ehdr, e_shnum), 6, 2); }},
    {"zero count and none in section zero", [](Bytes& F) { PutHeader(F, offsetof(Elf64_Ehdr, e_shnum), 0, 2); }},
    {"huge count in section zero",
     [](Bytes& F) {
         PutHeader(F, offsetof(Elf64_Ehdr, e_shnum), 0, 2);
         PutSection(F, 0, offsetof(Elf64_Shdr, sh_size), kHuge, 8);
     }},
    {"name table index out of range", [](Bytes& F) { PutHeader(F, offsetof(Elf64_Ehdr, e_shstrndx), 5, 2); }},
    {"name table takes no file space",
     [](Bytes& F) { PutSection(F, 4, offsetof(Elf64_Shdr, sh_type), SHT_NOBITS, 4); }},
    {"name table past the end", [](Bytes& F) { PutSection(F, 4, offsetof(Elf64_Shdr, sh_offset), F.size() - 2, 8); }},
    {"name table size wraps", [](Bytes& F) { PutSection(F, 4, offsetof(Elf64_Shdr, sh_size), kHuge, 8); }},
    {"section past the end", [](Bytes& F) { PutSection(F, 2, offsetof(Elf64_Shdr, sh_offset), F.size(), 8); }},
    {"section longer than the file", [](Bytes& F) { PutSection(F, 2, offsetof(Elf64_Shdr, sh_size), F.size(), 8); }},
    {"section offset plus size wraps",
     [](Bytes& F) {
         PutSection(F, 2, offsetof(Elf64_Shdr, sh_offset), 0x40, 8);
         PutSection(F, 2, offsetof(Elf64_Shdr, sh_size), kHuge - 0x20, 8);
     }},
    {"name offset past the name table", [](Bytes& F) { PutSection(F, 2, offsetof(Elf64_Shdr, sh_name), 4096, 4); }},
    {"section header entry zero-typed", [](Bytes& F) { PutSection(F, 2, offsetof(Elf64_Shdr, sh_type), SHT_NULL, 4); }},
};

TEST(FindElfSection, CorruptImageGivesNothing) {
    const Bytes good = SampleImage();
    ASSERT_EQ(Find(good, "kalnor_version"), kVersionBytes);
    for (const auto& corruption : kCorruptions) {
        Bytes file = good;
        corruption.Apply(file);
        EXPECT_FALSE(FindElfSection(file, "kalnor_version").has_value()) << corruption.Meaning;
    }
}

TEST(FindElfSection, NameRunningOffTheEndOfTheTableDoesNotMatch) {
    Bytes file = BuildTestElf({{"target", {7}}});
    // Cut the table just before the NUL that ends ".shstrtab", then name the target by that unterminated text.
    const std::size_t names = TestElfSectionHeader(file, 2);
    const auto size = GetLe(file, names + offsetof(Elf64_Shdr, sh_size), 8);
    PutLe(file, names + offsetof(Elf64_Shdr, sh_size), size - 1, 8);
    const auto shstrtabName = GetLe(file, names + offsetof(Elf64_Shdr, sh_name), 4);
    PutLe(file, TestElfSectionHeader(file, 1) + offsetof(Elf64_Shdr, sh_name), shstrtabName, 4);
    EXPECT_FALSE(FindElfSection(file, ".shstrtab").has_value());
}

TEST(FindElfSection, EveryPrefixOfAnImageIsSafe) {
    const Bytes file = SampleImage();
    for (std::size_t length = 0; length <= file.size(); ++length) {
        const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
        const auto found = Find(prefix, "kalnor_version");
        // Only the whole image still holds its section table, which comes last.
        if (length == file.size()) {
            EXPECT_EQ(found, kVersionBytes);
        } else {
            EXPECT_FALSE(found.has_value()) << length;
        }
    }
}

TEST(FindElfSection, AnyOneByteChangeStaysInsideTheFile) {
    const Bytes good = SampleImage();
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (const unsigned char value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            Bytes file = good;
            file[at] = value;
            for (const std::string_view name : {".text", "kalnor_version", ".bss", ".shstrtab"}) {
                const auto section = FindElfSection(file, name);
                if (section && !section->empty()) {
                    EXPECT_GE(section->data(), file.data());
                    EXPECT_LE(section->data() + section->size(), file.data() + file.size());
                }
            }
        }
    }
}

class ReadElfSectionTest : public ::testing::Test {
protected:
    std::string Write(const std::string& Name, const Bytes& Contents) {
        const std::string path = dir_.filePath(QString::fromStdString(Name)).toStdString();
        WriteTestFile(path, Contents);
        return path;
    }

    QTemporaryDir dir_;
};

TEST_F(ReadElfSectionTest, CopiesTheSectionOutOfAFile) {
    ASSERT_TRUE(dir_.isValid());
    const std::string path = Write("sample", SampleImage());
    EXPECT_EQ(ReadElfSection(path, "kalnor_version"), kVersionBytes);
    EXPECT_EQ(ReadElfSection(path, ".bss"), Bytes{});
    EXPECT_FALSE(ReadElfSection(path, "missing").has_value());
}

TEST_F(ReadElfSectionTest, UnreadableOrForeignFilesGiveNothing) {
    ASSERT_TRUE(dir_.isValid());
    const struct {
        const char* Meaning;
        std::string Path;
    } cases[] = {
        {"no such file", dir_.filePath(QStringLiteral("absent")).toStdString()},
        {"empty file", Write("empty", {})},
        {"text file", Write("notes.txt", Bytes(200, 'x'))},
        {"directory", dir_.path().toStdString()},
        {"empty name", ""},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(ReadElfSection(c.Path, ".text").has_value()) << c.Meaning;
    }
}

TEST(ReadElfSection, FindsSectionsOfTheRunningExecutable) {
    const auto text = ReadElfSection("/proc/self/exe", ".text");
    ASSERT_TRUE(text.has_value());
    EXPECT_GT(text->size(), 1000u);
    EXPECT_EQ(ReadElfSection("/proc/self/exe", "kalnor_elftest"),
              Bytes(std::begin(kOwnSection), std::end(kOwnSection)));
    EXPECT_FALSE(ReadElfSection("/proc/self/exe", "kalnor_no_such_section").has_value());
}

} // namespace
