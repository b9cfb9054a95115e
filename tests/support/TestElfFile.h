#pragma once

// Small ELF64 images for tests of the readers that look into executables.

#include <bit>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <elf.h>

struct TestElfSection {
    std::string Name;
    std::vector<unsigned char> Bytes;
    std::uint32_t Type = SHT_PROGBITS;
};

// Header, the sections' bytes, ".shstrtab", then the section header table: entry 0 is the null section, the given
// sections follow in order, ".shstrtab" is last.
inline std::vector<unsigned char> BuildTestElf(const std::vector<TestElfSection>& Sections) {
    static_assert(std::endian::native == std::endian::little, "the image is written from host structures");
    std::vector<unsigned char> file(sizeof(Elf64_Ehdr));
    std::vector<Elf64_Shdr> headers(1);
    std::string names(1, '\0');
    auto addSection = [&](const std::string& Name, std::uint32_t Type, const std::vector<unsigned char>& Bytes) {
        Elf64_Shdr header{};
        header.sh_name = static_cast<Elf64_Word>(names.size());
        header.sh_type = Type;
        header.sh_offset = file.size();
        header.sh_size = Bytes.size();
        header.sh_addralign = 1;
        names += Name;
        names += '\0';
        if (Type != SHT_NOBITS) {
            file.insert(file.end(), Bytes.begin(), Bytes.end());
        }
        headers.push_back(header);
    };
    for (const auto& section : Sections) {
        addSection(section.Name, section.Type, section.Bytes);
    }
    std::string allNames = names + ".shstrtab";
    allNames += '\0';
    addSection(".shstrtab", SHT_STRTAB, std::vector<unsigned char>(allNames.begin(), allNames.end()));
    while (file.size() % 8 != 0) {
        file.push_back(0);
    }

    Elf64_Ehdr header{};
    std::memcpy(header.e_ident, ELFMAG, SELFMAG);
    header.e_ident[EI_CLASS] = ELFCLASS64;
    header.e_ident[EI_DATA] = ELFDATA2LSB;
    header.e_ident[EI_VERSION] = EV_CURRENT;
    header.e_type = ET_EXEC;
    header.e_machine = EM_X86_64;
    header.e_version = EV_CURRENT;
    header.e_shoff = file.size();
    header.e_ehsize = sizeof(Elf64_Ehdr);
    header.e_shentsize = sizeof(Elf64_Shdr);
    header.e_shnum = static_cast<Elf64_Half>(headers.size());
    header.e_shstrndx = static_cast<Elf64_Half>(headers.size() - 1);
    std::memcpy(file.data(), &header, sizeof header);
    for (const auto& section : headers) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&section);
        file.insert(file.end(), bytes, bytes + sizeof section);
    }
    return file;
}

// Overwrites Width bytes at Offset with Value, little-endian.
inline void PutLe(std::vector<unsigned char>& File, std::size_t Offset, std::uint64_t Value, std::size_t Width) {
    for (std::size_t i = 0; i < Width; ++i) {
        File.at(Offset + i) = static_cast<unsigned char>(Value >> (8 * i));
    }
}

inline std::uint64_t GetLe(const std::vector<unsigned char>& File, std::size_t Offset, std::size_t Width) {
    std::uint64_t value = 0;
    for (std::size_t i = Width; i > 0; --i) {
        value = value << 8 | File.at(Offset + i - 1);
    }
    return value;
}

// Where section Index's header starts in a file BuildTestElf made.
inline std::size_t TestElfSectionHeader(const std::vector<unsigned char>& File, std::size_t Index) {
    return static_cast<std::size_t>(GetLe(File, offsetof(Elf64_Ehdr, e_shoff), sizeof(Elf64_Off))) +
           Index * sizeof(Elf64_Shdr);
}

inline void WriteTestFile(const std::string& Path, const std::vector<unsigned char>& Bytes) {
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
}
