#include "platform/VersionInfo.h"

#include "platform/CodePage.h"
#include "platform/ElfSection.h"
#include "platform/VersionBlock.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

using Bytes = std::span<const unsigned char>;

constexpr std::u16string_view kRootKey = u"VS_VERSION_INFO";
// The buffer is the block followed by twice its size for converted texts.

std::size_t Align4(std::size_t Offset) {
    return (Offset + 3) & ~std::size_t{3};
}

WORD WordAt(const unsigned char* Block, std::size_t Offset) {
    return static_cast<WORD>(Block[Offset] | Block[Offset + 1] << 8);
}

// One node's parts as offsets in the block, all checked to lie within the node.
struct Node {
    std::size_t End;
    WORD ValueLength;
    WORD Type;
    std::size_t KeyStart;
    std::size_t KeyUnits;
    std::size_t ValueStart;
    std::size_t ValueBytes;
    std::size_t ChildrenStart;
};

std::optional<Node> ReadNode(const unsigned char* Block, std::size_t Start, std::size_t Limit) {
    if (Start > Limit || Limit - Start < VersionNodeHeaderSize) {
        return std::nullopt;
    }
    const std::size_t length = WordAt(Block, Start);
    if (length < VersionNodeHeaderSize || length > Limit - Start) {
        return std::nullopt;
    }
    Node node{};
    node.End = Start + length;
    node.ValueLength = WordAt(Block, Start + 2);
    node.Type = WordAt(Block, Start + 4);
    node.KeyStart = Start + VersionNodeHeaderSize;
    std::size_t at = node.KeyStart;
    while (at + 2 <= node.End && WordAt(Block, at) != 0) {
        at += 2;
    }
    if (at + 2 > node.End) {
        return std::nullopt;
    }
    node.KeyUnits = (at - node.KeyStart) / 2;
    node.ValueStart = std::min(Align4(at + 2), node.End);
    const std::size_t room = node.End - node.ValueStart;
    if (node.Type == VersionNodeText) {
        // Texts are read up to their NUL anyway, so a length that overshoots the node is only cut short.
        node.ValueBytes = std::min<std::size_t>(std::size_t{node.ValueLength} * 2, room & ~std::size_t{1});
    } else if (node.ValueLength <= room) {
        node.ValueBytes = node.ValueLength;
    } else {
        return std::nullopt;
    }
    node.ChildrenStart = std::min(Align4(node.ValueStart + node.ValueBytes), node.End);
    return node;
}

char16_t FoldAscii(char16_t Unit) {
    return Unit >= u'a' && Unit <= u'z' ? static_cast<char16_t>(Unit - u'a' + u'A') : Unit;
}

bool KeyEquals(const unsigned char* Block, const Node& Node, std::u16string_view Key) {
    if (Node.KeyUnits != Key.size()) {
        return false;
    }
    for (std::size_t i = 0; i < Key.size(); ++i) {
        if (FoldAscii(WordAt(Block, Node.KeyStart + 2 * i)) != FoldAscii(Key[i])) {
            return false;
        }
    }
    return true;
}

std::optional<Node> FindChild(const unsigned char* Block, const Node& Parent, std::u16string_view Key) {
    std::size_t at = Parent.ChildrenStart;
    while (Parent.End - at >= VersionNodeHeaderSize) {
        // A length of zero or one shorter than a header ends the walk: nothing after it can be trusted.
        const auto child = ReadNode(Block, at, Parent.End);
        if (!child) {
            return std::nullopt;
        }
        if (KeyEquals(Block, *child, Key)) {
            return child;
        }
        at = std::min(Align4(child->End), Parent.End);
    }
    return std::nullopt;
}

std::optional<std::vector<unsigned char>> ReadVersionSection(const char* FileName) {
    if (FileName == nullptr) {
        return std::nullopt;
    }
    return ReadElfSection(FileName, VersionSectionName);
}

// The path's keys in UTF-16; empty elements, as from a leading or doubled '\', are skipped.
std::optional<std::vector<std::u16string>> SplitPath(const char* SubBlock) {
    // In UTF-8 a '\' byte is always the character itself, never part of another one.
    const std::string path = AnsiToUtf8(SubBlock);
    std::vector<std::u16string> keys;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        if (end > start) {
            auto key = Utf8ToUtf16(std::string_view(path).substr(start, end - start));
            if (!key) {
                return std::nullopt;
            }
            keys.push_back(*std::move(key));
        }
        start = end + 1;
    }
    return keys;
}

} // namespace

std::optional<std::span<const unsigned char>> VersionBlockOf(std::span<const unsigned char> Section) {
    if (Section.size() < VersionNodeHeaderSize) {
        return std::nullopt;
    }
    const std::size_t length = WordAt(Section.data(), 0);
    const auto root = ReadNode(Section.data(), 0, Section.size());
    if (!root || !KeyEquals(Section.data(), *root, kRootKey) || root->ValueBytes != FixedFileInfoSize) {
        return std::nullopt;
    }
    return Section.first(length);
}

DWORD GetFileVersionInfoSizeA(const char* lptstrFilename, DWORD* lpdwHandle) {
    if (lpdwHandle != nullptr) {
        *lpdwHandle = 0;
    }
    const auto section = ReadVersionSection(lptstrFilename);
    const auto block = section ? VersionBlockOf(*section) : std::nullopt;
    return block ? static_cast<DWORD>(block->size() * VersionInfoBufferFactor) : 0;
}

BOOL GetFileVersionInfoA(const char* lptstrFilename, DWORD /*dwHandle*/, DWORD dwLen, void* lpData) {
    if (lpData == nullptr) {
        return FALSE;
    }
    const auto section = ReadVersionSection(lptstrFilename);
    const auto block = section ? VersionBlockOf(*section) : std::nullopt;
    if (!block || dwLen < block->size() * VersionInfoBufferFactor) {
        return FALSE;
    }
    auto* data = static_cast<unsigned char*>(lpData);
    std::memcpy(data, block->data(), block->size());
    std::memset(data + block->size(), 0, block->size() * (VersionInfoBufferFactor - 1));
    return TRUE;
}

BOOL VerQueryValueA(const void* pBlock, const char* lpSubBlock, void** lplpBuffer, UINT* puLen) {
    if (lplpBuffer == nullptr || puLen == nullptr) {
        return FALSE;
    }
    *lplpBuffer = nullptr;
    *puLen = 0;
    if (pBlock == nullptr || lpSubBlock == nullptr) {
        return FALSE;
    }
    const auto* block = static_cast<const unsigned char*>(pBlock);
    const std::size_t blockLength = WordAt(block, 0);
    const auto keys = SplitPath(lpSubBlock);
    auto node = ReadNode(block, 0, blockLength);
    if (!keys || !node) {
        return FALSE;
    }
    for (const auto& key : *keys) {
        node = FindChild(block, *node, key);
        if (!node) {
            return FALSE;
        }
    }
    if (keys->empty() || node->Type != VersionNodeText) {
        *lplpBuffer = const_cast<unsigned char*>(block + node->ValueStart);
        *puLen = static_cast<UINT>(node->ValueBytes);
        return TRUE;
    }
    std::u16string text;
    for (std::size_t at = node->ValueStart; at < node->ValueStart + node->ValueBytes; at += 2) {
        const WORD unit = WordAt(block, at);
        if (unit == 0) {
            break;
        }
        text += static_cast<char16_t>(unit);
    }
    const AnsiString converted = Utf8ToAnsi(Utf16ToUtf8(text));
    // Each value owns twice its offset in the spare room: a UTF-16 unit never needs more than
    // three bytes in UTF-8 or the ANSI page, so no two converted texts can meet.
    const std::size_t scratch = blockLength + 2 * node->ValueStart;
    if (scratch + converted.size() + 1 > blockLength * VersionInfoBufferFactor) {
        return FALSE;
    }
    // The buffer is the caller's own, filled by GetFileVersionInfoA; only the block part is meant as input.
    auto* out = const_cast<unsigned char*>(block + scratch);
    std::memcpy(out, converted.data(), converted.size());
    out[converted.size()] = '\0';
    *lplpBuffer = out;
    *puLen = node->ValueLength == 0 ? 0 : static_cast<UINT>(converted.size() + 1);
    return TRUE;
}
