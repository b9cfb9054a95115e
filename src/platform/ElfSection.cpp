#include "platform/ElfSection.h"

#include "platform/CodePage.h"

#include <QByteArray>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <elf.h>

namespace {

using Bytes = std::span<const unsigned char>;

// The caller has checked Offset + Width against the span.
std::uint64_t ReadLe(Bytes Data, std::size_t Offset, std::size_t Width) {
    std::uint64_t value = 0;
    for (std::size_t i = Width; i > 0; --i) {
        value = (value << 8) | Data[Offset + i - 1];
    }
    return value;
}

// A range [Offset, Offset + Size) inside the file, without letting the addition wrap.
bool FitsIn(std::uint64_t Offset, std::uint64_t Size, std::size_t FileSize) {
    return Offset <= FileSize && Size <= FileSize - Offset;
}

struct SectionHeader {
    std::uint32_t Name;
    std::uint32_t Type;
    std::uint32_t Link;
    std::uint64_t Offset;
    std::uint64_t Size;
};

class SectionTable {
public:
    explicit SectionTable(Bytes File) : file_(File) {}

    // Reads the ELF header; false when the image is not one this reader understands.
    bool Open();

    std::uint64_t Count() const { return count_; }
    std::uint64_t NamesIndex() const { return namesIndex_; }
    SectionHeader Header(std::uint64_t Index) const;
    // The section's bytes, empty for NOBITS; nullopt when it reaches past the file.
    std::optional<Bytes> Contents(const SectionHeader& Header) const;

private:
    Bytes file_;
    std::uint64_t tableOffset_ = 0;
    std::uint64_t entrySize_ = 0;
    std::uint64_t count_ = 0;
    std::uint64_t namesIndex_ = 0;
};

bool SectionTable::Open() {
    if (file_.size() < sizeof(Elf64_Ehdr) || std::memcmp(file_.data(), ELFMAG, SELFMAG) != 0 ||
        file_[EI_CLASS] != ELFCLASS64 || file_[EI_DATA] != ELFDATA2LSB) {
        return false;
    }
    tableOffset_ = ReadLe(file_, offsetof(Elf64_Ehdr, e_shoff), sizeof(Elf64_Off));
    entrySize_ = ReadLe(file_, offsetof(Elf64_Ehdr, e_shentsize), sizeof(Elf64_Half));
    count_ = ReadLe(file_, offsetof(Elf64_Ehdr, e_shnum), sizeof(Elf64_Half));
    namesIndex_ = ReadLe(file_, offsetof(Elf64_Ehdr, e_shstrndx), sizeof(Elf64_Half));
    if (tableOffset_ == 0 || entrySize_ < sizeof(Elf64_Shdr) || !FitsIn(tableOffset_, entrySize_, file_.size())) {
        return false;
    }
    // Images with 0xFF00 or more sections keep the real count and name index in section 0.
    const SectionHeader first = Header(0);
    if (count_ == 0) {
        count_ = first.Size;
    }
    if (namesIndex_ == SHN_XINDEX) {
        namesIndex_ = first.Link;
    }
    const std::uint64_t room = (file_.size() - tableOffset_) / entrySize_;
    return count_ > 0 && count_ <= room && namesIndex_ < count_;
}

SectionHeader SectionTable::Header(std::uint64_t Index) const {
    const auto base = static_cast<std::size_t>(tableOffset_ + Index * entrySize_);
    return SectionHeader{
        static_cast<std::uint32_t>(ReadLe(file_, base + offsetof(Elf64_Shdr, sh_name), sizeof(Elf64_Word))),
        static_cast<std::uint32_t>(ReadLe(file_, base + offsetof(Elf64_Shdr, sh_type), sizeof(Elf64_Word))),
        static_cast<std::uint32_t>(ReadLe(file_, base + offsetof(Elf64_Shdr, sh_link), sizeof(Elf64_Word))),
        ReadLe(file_, base + offsetof(Elf64_Shdr, sh_offset), sizeof(Elf64_Off)),
        ReadLe(file_, base + offsetof(Elf64_Shdr, sh_size), sizeof(Elf64_Xword)),
    };
}

std::optional<Bytes> SectionTable::Contents(const SectionHeader& Header) const {
    if (Header.Type == SHT_NOBITS) {
        return Bytes{};
    }
    if (!FitsIn(Header.Offset, Header.Size, file_.size())) {
        return std::nullopt;
    }
    return file_.subspan(static_cast<std::size_t>(Header.Offset), static_cast<std::size_t>(Header.Size));
}

// The NUL-terminated name at Offset in the string table; nullopt when it runs off the table's end.
std::optional<std::string_view> NameAt(Bytes Names, std::uint32_t Offset) {
    if (Offset >= Names.size()) {
        return std::nullopt;
    }
    const auto* start = reinterpret_cast<const char*>(Names.data() + Offset);
    const auto* end = static_cast<const char*>(std::memchr(start, '\0', Names.size() - Offset));
    if (end == nullptr) {
        return std::nullopt;
    }
    return std::string_view(start, static_cast<std::size_t>(end - start));
}

} // namespace

std::optional<std::span<const unsigned char>> FindElfSection(std::span<const unsigned char> File,
                                                             std::string_view Name) {
    SectionTable table(File);
    if (!table.Open()) {
        return std::nullopt;
    }
    const SectionHeader namesHeader = table.Header(table.NamesIndex());
    if (namesHeader.Type == SHT_NOBITS) {
        return std::nullopt;
    }
    const auto names = table.Contents(namesHeader);
    if (!names) {
        return std::nullopt;
    }
    for (std::uint64_t i = 0; i < table.Count(); ++i) {
        const SectionHeader header = table.Header(i);
        if (header.Type == SHT_NULL) {
            continue;
        }
        const auto sectionName = NameAt(*names, header.Name);
        if (sectionName && *sectionName == Name) {
            return table.Contents(header);
        }
    }
    return std::nullopt;
}

std::optional<std::vector<unsigned char>> ReadElfSection(const AnsiString& FileName, std::string_view Name) {
    if (FileName.empty()) {
        return std::nullopt;
    }
    QFile file(QFile::decodeName(QByteArray::fromStdString(AnsiToUtf8(FileName))));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const qint64 size = file.size();
    if (size <= 0) {
        return std::nullopt;
    }
    // Mapping spares reading a whole executable for one small section; some files cannot be mapped.
    QByteArray contents;
    Bytes image;
    if (const uchar* mapped = file.map(0, size)) {
        image = Bytes(mapped, static_cast<std::size_t>(size));
    } else {
        contents = file.read(size);
        image = Bytes(reinterpret_cast<const unsigned char*>(contents.constData()),
                      static_cast<std::size_t>(contents.size()));
    }
    const auto section = FindElfSection(image, Name);
    if (!section) {
        return std::nullopt;
    }
    return std::vector<unsigned char>(section->begin(), section->end());
}
