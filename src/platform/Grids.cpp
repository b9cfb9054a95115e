#include "platform/Grids.h"

#include "platform/GridAccessible.h"
#include "platform/InplaceEdit.h"
#include "platform/QtText.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <limits>

namespace {

constexpr int SizingMargin = 2;
constexpr int MinColWidth = 2;
constexpr int WheelRows = 3;

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier) {
        shift |= ssShift;
    }
    if (modifiers & Qt::AltModifier) {
        shift |= ssAlt;
    }
    if (modifiers & Qt::ControlModifier) {
        shift |= ssCtrl;
    }
    if (buttons & Qt::LeftButton) {
        shift |= ssLeft;
    }
    if (buttons & Qt::RightButton) {
        shift |= ssRight;
    }
    if (buttons & Qt::MiddleButton) {
        shift |= ssMiddle;
    }
    return shift;
}

TMouseButton MouseButtonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::RightButton:
        return TMouseButton::mbRight;
    case Qt::MiddleButton:
        return TMouseButton::mbMiddle;
    default:
        return TMouseButton::mbLeft;
    }
}

} // namespace

TGridCell::operator const AnsiString&() const {
    return FGrid.CellText(FCol, FRow);
}

TGridCell& TGridCell::operator=(const AnsiString& text) {
    FGrid.SetCellText(FCol, FRow, text);
    return *this;
}

TStringGrid::TStringGrid(QWidget* parent)
    : QAbstractScrollArea(parent), Canvas(new TCanvas(this)), FEditor(new TInplaceEdit(this)) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Base);
    FEditor->hide();
    connect(FEditor, &QLineEdit::textEdited, this, &TStringGrid::EditorTextEdited);
    FCells.resize(static_cast<size_t>(FColCount * FRowCount));
    FColWidths.assign(static_cast<size_t>(FColCount), FDefaultColWidth);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int) { scrollContentsBy(0, 0); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int) { scrollContentsBy(0, 0); });
}

// The editor goes first: it calls back into the grid, and the owner's handlers may be gone already.
TStringGrid::~TStringGrid() {
    FEditorShown = false;
    delete FEditor;
    delete Canvas;
}

bool TStringGrid::ValidCell(int col, int row) const {
    return col >= 0 && col < FColCount && row >= 0 && row < FRowCount;
}

const AnsiString& TStringGrid::CellText(int col, int row) const {
    static const AnsiString none;
    return ValidCell(col, row) ? FCells[static_cast<size_t>(row * FColCount + col)] : none;
}

void TStringGrid::StoreCell(int col, int row, const AnsiString& text) {
    if (!ValidCell(col, row)) {
        return;
    }
    AnsiString& cell = FCells[static_cast<size_t>(row * FColCount + col)];
    const bool changed = cell != text;
    cell = text;
    InvalidateCell(col, row);
    if (changed) {
        AnnounceCellText(*this, col, row);
    }
}

AnsiString TStringGrid::DisplayText(int col, int row) {
    AnsiString text = CellText(col, row);
    if (OnGetDisplayText) {
        OnGetDisplayText(this, col, row, text);
    }
    return text;
}

void TStringGrid::SetCellText(int col, int row, const AnsiString& text) {
    StoreCell(col, row, text);
    if (FEditorShown && col == FEditCol && row == FEditRow) {
        LoadEditor();
    }
}

void TStringGrid::SetColCount(int count) {
    count = std::max(count, 1);
    std::vector<AnsiString> cells(static_cast<size_t>(count * FRowCount));
    for (int row = 0; row < FRowCount; ++row) {
        for (int col = 0; col < std::min(count, FColCount); ++col) {
            cells[static_cast<size_t>(row * count + col)] =
                std::move(FCells[static_cast<size_t>(row * FColCount + col)]);
        }
    }
    FCells = std::move(cells);
    FColWidths.resize(static_cast<size_t>(count), FDefaultColWidth);
    FColCount = count;
    FFixedCols = std::min(FFixedCols, count - 1);
    FCol = std::clamp(FCol, FFixedCols, count - 1);
    FLeftCol = std::clamp(FLeftCol, FFixedCols, count - 1);
    UpdateScrollBars();
    viewport()->update();
}

void TStringGrid::SetRowCount(int count) {
    count = std::max(count, 1);
    FCells.resize(static_cast<size_t>(FColCount * count));
    FRowCount = count;
    FFixedRows = std::min(FFixedRows, count - 1);
    FRow = std::clamp(FRow, FFixedRows, count - 1);
    FTopRow = std::clamp(FTopRow, FFixedRows, count - 1);
    UpdateScrollBars();
    viewport()->update();
}

void TStringGrid::SetDefaultColWidth(int width) {
    FDefaultColWidth = width;
    FColWidths.assign(static_cast<size_t>(FColCount), width);
    UpdateScrollBars();
    PlaceEditor();
    viewport()->update();
}

void TStringGrid::SetDefaultRowHeight(int height) {
    FDefaultRowHeight = height;
    UpdateScrollBars();
    PlaceEditor();
    viewport()->update();
}

int TStringGrid::ColWidths(int col) const {
    return col >= 0 && col < FColCount ? FColWidths[static_cast<size_t>(col)] : 0;
}

void TStringGrid::SetColWidths(int col, int width) {
    if (col >= 0 && col < FColCount) {
        FColWidths[static_cast<size_t>(col)] = width;
        UpdateScrollBars();
        PlaceEditor();
        viewport()->update();
    }
}

void TStringGrid::SetFont(const TFont& font) {
    ::SetFont(this, font);
}

int TStringGrid::ColumnX(int col) const {
    if (col < 0 || col >= FColCount || (col >= FFixedCols && col < FLeftCol)) {
        return -1;
    }
    int x = 0;
    for (int c = 0; c < std::min(col, FFixedCols); ++c) {
        x += FColWidths[static_cast<size_t>(c)] + GridLineWidth;
    }
    for (int c = FLeftCol; c < col; ++c) {
        x += FColWidths[static_cast<size_t>(c)] + GridLineWidth;
    }
    return x;
}

int TStringGrid::RowY(int row) const {
    if (row < 0 || row >= FRowCount || (row >= FFixedRows && row < FTopRow)) {
        return -1;
    }
    const int visibleIndex = row < FFixedRows ? row : FFixedRows + row - FTopRow;
    return visibleIndex * (FDefaultRowHeight + GridLineWidth);
}

TRect TStringGrid::CellRect(int col, int row) const {
    const int x = ColumnX(col);
    const int y = RowY(row);
    if (x < 0 || y < 0 || x >= viewport()->width() || y >= viewport()->height()) {
        return TRect{};
    }
    return TRect{x, y, x + FColWidths[static_cast<size_t>(col)], y + FDefaultRowHeight};
}

TGridCoord TStringGrid::MouseCoord(int X, int Y) const {
    TGridCoord coord;
    for (int col : ColumnsInView()) {
        const int x = ColumnX(col);
        if (X >= x && X < x + FColWidths[static_cast<size_t>(col)] + GridLineWidth) {
            coord.X = col;
        }
    }
    const int rowPitch = FDefaultRowHeight + GridLineWidth;
    if (Y >= 0 && rowPitch > 0) {
        const int visibleIndex = Y / rowPitch;
        const int row = visibleIndex < FFixedRows ? visibleIndex : FTopRow + visibleIndex - FFixedRows;
        if (row < FRowCount) {
            coord.Y = row;
        }
    }
    if (coord.X < 0 || coord.Y < 0 || X >= viewport()->width() || Y >= viewport()->height()) {
        return TGridCoord{};
    }
    return coord;
}

std::vector<int> TStringGrid::ColumnsInView() const {
    std::vector<int> cols;
    const auto inView = [&](int col) { return ColumnX(col) < viewport()->width(); };
    for (int col = 0; col < FFixedCols && inView(col); ++col) {
        cols.push_back(col);
    }
    for (int col = FLeftCol; col < FColCount && inView(col); ++col) {
        cols.push_back(col);
    }
    return cols;
}

std::vector<int> TStringGrid::RowsInView() const {
    std::vector<int> rows;
    const auto inView = [&](int row) { return RowY(row) < viewport()->height(); };
    for (int row = 0; row < FFixedRows && inView(row); ++row) {
        rows.push_back(row);
    }
    for (int row = FTopRow; row < FRowCount && inView(row); ++row) {
        rows.push_back(row);
    }
    return rows;
}

int TStringGrid::VisibleRowCount() const {
    const int pitch = FDefaultRowHeight + GridLineWidth;
    return std::max(1, (viewport()->height() - FFixedRows * pitch + GridLineWidth) / pitch);
}

int TStringGrid::ScrollingWidth() const {
    int width = viewport()->width();
    for (int c = 0; c < FFixedCols; ++c) {
        width -= FColWidths[static_cast<size_t>(c)] + GridLineWidth;
    }
    return width;
}

int TStringGrid::VisibleColCount() const {
    int available = ScrollingWidth();
    int count = 0;
    for (int c = FLeftCol; c < FColCount; ++c) {
        available -= FColWidths[static_cast<size_t>(c)] + GridLineWidth;
        if (available + GridLineWidth < 0) {
            break;
        }
        ++count;
    }
    return std::max(1, count);
}

void TStringGrid::UpdateScrollBars() {
    const int rowMax = std::max(0, FRowCount - FFixedRows - VisibleRowCount());
    verticalScrollBar()->setRange(0, rowMax);
    verticalScrollBar()->setPageStep(VisibleRowCount());

    int available = ScrollingWidth();
    int lastLeft = FColCount - 1;
    for (int c = FColCount - 1; c >= FFixedCols; --c) {
        available -= FColWidths[static_cast<size_t>(c)] + GridLineWidth;
        if (available + GridLineWidth < 0) {
            break;
        }
        lastLeft = c;
    }
    horizontalScrollBar()->setRange(0, std::max(0, lastLeft - FFixedCols));
    horizontalScrollBar()->setPageStep(VisibleColCount());
}

void TStringGrid::scrollContentsBy(int, int) {
    FTopRow = FFixedRows + verticalScrollBar()->value();
    FLeftCol = FFixedCols + horizontalScrollBar()->value();
    PlaceEditor();
    viewport()->update();
}

void TStringGrid::ScrollInView(int col, int row) {
    if (row >= FFixedRows) {
        if (row < FTopRow) {
            verticalScrollBar()->setValue(row - FFixedRows);
        } else if (row >= FTopRow + VisibleRowCount()) {
            verticalScrollBar()->setValue(row - VisibleRowCount() + 1 - FFixedRows);
        }
    }
    if (col >= FFixedCols) {
        if (col < FLeftCol) {
            horizontalScrollBar()->setValue(col - FFixedCols);
        }
        while (col >= FLeftCol + VisibleColCount() &&
               horizontalScrollBar()->value() < horizontalScrollBar()->maximum()) {
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() + 1);
        }
    }
}

void TStringGrid::InvalidateCell(int col, int row) {
    const TRect rect = CellRect(col, row);
    if (rect.Right > rect.Left) {
        viewport()->update(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
    }
}

bool TStringGrid::FocusCell(int col, int row) {
    if (col < FFixedCols || col >= FColCount || row < FFixedRows || row >= FRowCount) {
        return false;
    }
    return MoveCurrent(col, row);
}

bool TStringGrid::MoveCurrent(int col, int row) {
    if (col == FCol && row == FRow) {
        ScrollInView(col, row);
        return true;
    }
    bool canSelect = true;
    if (OnSelectCell) {
        OnSelectCell(this, col, row, canSelect);
    }
    if (!canSelect) {
        return false;
    }
    // An open editor follows the current cell: closed on the old cell, loaded on the new one.
    const bool editing = FEditorShown;
    if (editing) {
        HideEditor();
    }
    InvalidateCell(FCol, FRow);
    FCol = col;
    FRow = row;
    ScrollInView(col, row);
    InvalidateCell(FCol, FRow);
    if (editing) {
        ShowEditor(true);
    }
    AnnounceCurrentCell(*this);
    return true;
}

void TStringGrid::ShowEditor(bool selectAll) {
    if (FEditorShown || !(Options & goEditing) || FCol < FFixedCols || FRow < FFixedRows) {
        return;
    }
    FEditorShown = true;
    FEditCol = FCol;
    FEditRow = FRow;
    FEditorOriginal = CellText(FCol, FRow);
    NameEditor(*this, FEditCol, FEditRow);
    LoadEditor();
    PlaceEditor();
    FEditor->show();
    FEditor->setFocus(Qt::OtherFocusReason);
    if (selectAll) {
        FEditor->selectAll();
    } else {
        FEditor->end(false);
    }
    InvalidateCell(FEditCol, FEditRow);
}

void TStringGrid::LoadEditor() {
    AnsiString value = CellText(FEditCol, FEditRow);
    if (OnGetEditText) {
        OnGetEditText(this, FEditCol, FEditRow, value);
    }
    FEditor->setText(ToQString(value)); // a program's text is no user change: no report
}

void TStringGrid::EditorTextEdited() {
    if (!FEditorShown) {
        return;
    }
    const AnsiString text = FromQString(FEditor->text());
    if (CellText(FEditCol, FEditRow) != text) {
        StoreCell(FEditCol, FEditRow, text);
    }
    if (OnSetEditText) {
        OnSetEditText(this, FEditCol, FEditRow, text);
    }
}

void TStringGrid::HideEditor() {
    if (!FEditorShown || FEditorClosing) {
        return;
    }
    FEditorClosing = true;
    EditorTextEdited(); // the close report repeats the final text
    FEditorClosing = false;
    FEditorShown = false;
    const bool hadFocus = FEditor->hasFocus();
    FEditor->hide();
    if (hadFocus) {
        setFocus(Qt::OtherFocusReason);
    }
    InvalidateCell(FEditCol, FEditRow);
    FEditCol = FEditRow = -1;
}

void TStringGrid::CancelEditor() {
    if (!FEditorShown || FEditorClosing) {
        return;
    }
    FEditor->setText(ToQString(FEditorOriginal));
    StoreCell(FEditCol, FEditRow, FEditorOriginal);
    FEditorShown = false;
    const bool hadFocus = FEditor->hasFocus();
    FEditor->hide();
    if (hadFocus) {
        setFocus(Qt::OtherFocusReason);
    }
    FEditCol = FEditRow = -1;
}

void TStringGrid::PlaceEditor() {
    if (!FEditorShown) {
        return;
    }
    const TRect rect = CellRect(FEditCol, FEditRow);
    const QRect inView =
        QRect(viewport()->pos() + QPoint(rect.Left, rect.Top), QSize(rect.Right - rect.Left, rect.Bottom - rect.Top)) &
        viewport()->geometry();
    if (!inView.isEmpty()) {
        FEditor->setGeometry(inView);
    } else {
        FEditor->move(-FEditor->width() - 1, -FEditor->height() - 1); // scrolled out of view, still editing
    }
}

void TStringGrid::EditorDblClick() {
    if (OnDblClick) {
        OnDblClick(this);
    }
}

void TStringGrid::EditorLostFocus(Qt::FocusReason reason) {
    // Another window coming to the front does not end the edit; another control taking the focus does.
    if (!FEditorShown || FEditorClosing || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
        return;
    }
    if (QApplication::focusWidget() != this) {
        HideEditor();
    }
}

bool TStringGrid::HandleNavigationKey(QKeyEvent* event) {
    int col = FCol;
    int row = FRow;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_Left:
        --col;
        break;
    case Qt::Key_Right:
        ++col;
        break;
    case Qt::Key_PageUp:
        row -= VisibleRowCount();
        break;
    case Qt::Key_PageDown:
        row += VisibleRowCount();
        break;
    case Qt::Key_Home:
        col = FFixedCols;
        row = ctrl ? FFixedRows : row;
        break;
    case Qt::Key_End:
        col = FColCount - 1;
        row = ctrl ? FRowCount - 1 : row;
        break;
    default:
        return false;
    }
    event->accept();
    col = std::clamp(col, FFixedCols, FColCount - 1);
    row = std::clamp(row, FFixedRows, FRowCount - 1);
    MoveCurrent(col, row);
    return true;
}

void TStringGrid::keyPressEvent(QKeyEvent* event) {
    if (HandleNavigationKey(event)) {
        return;
    }
    switch (event->key()) {
    case Qt::Key_F2:
        ShowEditor(false);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ShowEditor(true);
        return;
    default:
        break;
    }
    const QString text = event->text();
    const bool typed = !text.isEmpty() && text.at(0).isPrint() &&
                       !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (typed && (Options & goEditing)) {
        // Typing into a cell replaces its text, as in a spreadsheet.
        ShowEditor(true);
        if (FEditorShown) {
            QCoreApplication::sendEvent(FEditor, event);
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void TStringGrid::inputMethodEvent(QInputMethodEvent* event) {
    ShowEditor(true);
    if (FEditorShown) {
        QCoreApplication::sendEvent(FEditor, event);
    } else {
        QAbstractScrollArea::inputMethodEvent(event);
    }
}

int TStringGrid::SizingColumnAt(int x, int y) const {
    if (!(Options & goColSizing) || y < 0 || y >= FFixedRows * (FDefaultRowHeight + GridLineWidth)) {
        return -1;
    }
    for (int col = 0; col < FColCount; ++col) {
        const int left = ColumnX(col);
        if (left >= 0) {
            const int line = left + FColWidths[static_cast<size_t>(col)];
            if (x >= line - SizingMargin && x <= line + SizingMargin) {
                return col;
            }
        }
    }
    return -1;
}

void TStringGrid::Press(QMouseEvent* event, TShiftState extra) {
    const QPoint pos = event->position().toPoint();
    // A press anywhere on the grid outside the editor ends the edit, even where the cell may not be selected.
    HideEditor();
    if (event->button() == Qt::LeftButton) {
        const int sizing = SizingColumnAt(pos.x(), pos.y());
        if (sizing >= 0) {
            FSizingCol = sizing;
            FSizingStartX = pos.x();
            FSizingStartWidth = FColWidths[static_cast<size_t>(sizing)];
        } else {
            const TGridCoord cell = MouseCoord(pos.x(), pos.y());
            if (cell.X >= FFixedCols && cell.Y >= FFixedRows) {
                MoveCurrent(cell.X, cell.Y);
            }
        }
    }
    if (OnMouseDown) {
        OnMouseDown(this, MouseButtonOf(event->button()), ShiftStateOf(event->modifiers(), event->buttons()) | extra,
                    pos.x(), pos.y());
    }
}

void TStringGrid::mousePressEvent(QMouseEvent* event) {
    Press(event, 0);
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && OnDblClick) {
        OnDblClick(this);
    }
    Press(event, ssDouble);
}

void TStringGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (FSizingCol >= 0) {
        SetColWidths(FSizingCol, std::max(MinColWidth, FSizingStartWidth + pos.x() - FSizingStartX));
        return;
    }
    viewport()->setCursor(SizingColumnAt(pos.x(), pos.y()) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void TStringGrid::mouseReleaseEvent(QMouseEvent*) {
    FSizingCol = -1;
}

void TStringGrid::wheelEvent(QWheelEvent* event) {
    const QPoint steps = event->angleDelta() / 120;
    verticalScrollBar()->setValue(verticalScrollBar()->value() - steps.y() * WheelRows);
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - steps.x());
    event->accept();
}

void TStringGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (FEditorShown) {
        FEditor->setFocus(event->reason());
    } else {
        AnnounceFocusedCell(*this);
    }
    InvalidateCell(FCol, FRow);
}

void TStringGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    InvalidateCell(FCol, FRow);
}

void TStringGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    PlaceEditor();
}

bool TStringGrid::IsFocused() const {
    const QWidget* active = window()->focusWidget();
    return active == this || active == FEditor;
}

void TStringGrid::Repaint() {
    viewport()->repaint();
}

void TStringGrid::SetFocus() {
    setFocus(Qt::OtherFocusReason);
}
