#include "ui/EditFilter.h"

#include "platform/CodePage.h"
#include "platform/QtText.h"

#include <QLineEdit>

#include <cstddef>

AnsiString LastEditText;

namespace {

bool IsMember(const AnsiString& Text, int Index, const AnsiString& Set) {
    const char byte = Text[static_cast<std::size_t>(Index - 1)];
    for (const char candidate : Set) {
        if (byte == candidate && ByteType(Text, Index) != mbTrailByte) {
            return true;
        }
    }
    return false;
}

// The caret position, in the box's characters, of the byte offset Offset into Text; an offset inside a
// character stops before it, one past the end stops at the end.
int CharOffset(const AnsiString& Text, std::size_t Offset) {
    const QString shown = ToQString(Text);
    std::size_t bytes = 0;
    int position = 0;
    while (position < shown.size()) {
        const int units = shown.at(position).isHighSurrogate() && position + 1 < shown.size() ? 2 : 1;
        bytes += FromQString(shown.mid(position, units)).size();
        if (bytes > Offset) {
            break;
        }
        position += units;
    }
    return position;
}

} // namespace

void SaveEditText(QLineEdit* Edit) {
    LastEditText = FromQString(Edit->text());
}

void FilterEditChars(QLineEdit* Edit, const AnsiString& Set, bool AllowOnly) {
    const AnsiString text = FromQString(Edit->text());
    for (int i = 1; i <= static_cast<int>(text.size()); ++i) {
        if (IsMember(text, i, Set) != AllowOnly) {
            // A copy: the change notification this raises runs the filter again and may store anew.
            const AnsiString restored = LastEditText;
            Edit->setText(ToQString(restored));
            Edit->setCursorPosition(CharOffset(restored, static_cast<std::size_t>(i - 1)));
            return;
        }
    }
    LastEditText = text;
}
