#include "platform/InplaceEdit.h"

#include "platform/Grids.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <limits>

// A child of the grid itself, not of its viewport, so that a screen reader finds it inside the table.
TInplaceEdit::TInplaceEdit(TStringGrid* grid) : QLineEdit(grid), FGrid(grid) {
    setFrame(false);
    setMaxLength(std::numeric_limits<int>::max()); // a pasted text is never cut short
}

void TInplaceEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        FGrid->HideEditor();
        return;
    case Qt::Key_Escape:
        FGrid->CancelEditor();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        FGrid->HandleNavigationKey(event);
        return;
    case Qt::Key_Left:
        // Left and Right move the caret, and the current cell only from the text's edge.
        if (cursorPosition() == 0 && !hasSelectedText()) {
            FGrid->HandleNavigationKey(event);
            return;
        }
        break;
    case Qt::Key_Right:
        if (cursorPosition() == text().size() && !hasSelectedText()) {
            FGrid->HandleNavigationKey(event);
            return;
        }
        break;
    default:
        break;
    }
    // Typing or pasting over a selection is a change even where the text comes out the same.
    const QString before = text();
    const bool typed = !event->text().isEmpty() && event->text().at(0).isPrint();
    const bool replacesSelection = hasSelectedText() && (typed || event->matches(QKeySequence::Paste));
    QLineEdit::keyPressEvent(event);
    if (replacesSelection && !hasSelectedText() && text() == before) {
        FGrid->EditorTextEdited();
    }
}

void TInplaceEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        FGrid->EditorDblClick();
    }
}

void TInplaceEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    FGrid->EditorLostFocus(event->reason());
}

// Tab never reaches the text: it ends the edit and moves on from the grid.
bool TInplaceEdit::focusNextPrevChild(bool next) {
    FGrid->HideEditor();
    return FGrid->focusNextPrevChild(next);
}
