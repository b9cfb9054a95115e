#include "platform/GridAccessible.h"

#include "platform/Grids.h"
#include "platform/InplaceEdit.h"
#include "platform/QtText.h"

#include <QWindow>

namespace {

int IndexOf(const TStringGrid& grid, int col, int row) {
    return row * grid.ColCount() + col;
}

QRect OnScreen(const TStringGrid& grid, const TRect& rect) {
    if (rect.Right <= rect.Left) {
        return {};
    }
    const QPoint topLeft = grid.viewport()->mapToGlobal(QPoint(rect.Left, rect.Top));
    return {topLeft, QSize(rect.Right - rect.Left, rect.Bottom - rect.Top)};
}

// The shown texts of the fixed cells above a column and left of a row.
QStringList HeadersOf(TStringGrid& grid, int col) {
    QStringList headers;
    for (int row = 0; row < grid.FixedRows(); ++row) {
        headers << ToQString(grid.DisplayText(col, row));
    }
    return headers;
}

QStringList LabelsOf(TStringGrid& grid, int row) {
    QStringList labels;
    for (int col = 0; col < grid.FixedCols(); ++col) {
        labels << ToQString(grid.DisplayText(col, row));
    }
    return labels;
}

void Announce(TStringGrid& grid, int col, int row, QAccessible::Event type) {
    QAccessibleEvent event(&grid, type);
    event.setChild(IndexOf(grid, col, row));
    QAccessible::updateAccessibility(&event);
}

} // namespace

TGridAccessible::TGridAccessible(TStringGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

TGridAccessible::~TGridAccessible() {
    for (const auto& [cell, id] : FCells) {
        QAccessible::deleteAccessibleInterface(id);
    }
}

TStringGrid* TGridAccessible::Grid() const {
    return static_cast<TStringGrid*>(widget());
}

QAccessibleInterface* TGridAccessible::Editor() const {
    return Grid()->EditorMode() ? QAccessible::queryAccessibleInterface(Grid()->InplaceEditor()) : nullptr;
}

QAccessibleInterface* TGridAccessible::Cell(int col, int row) const {
    const TStringGrid* grid = Grid();
    if (col < 0 || col >= grid->ColCount() || row < 0 || row >= grid->RowCount()) {
        return nullptr;
    }
    auto [it, added] = FCells.try_emplace({row, col});
    if (added) {
        it->second = QAccessible::registerAccessibleInterface(new TGridCellAccessible(Grid(), col, row));
    }
    return QAccessible::accessibleInterface(it->second);
}

int TGridAccessible::childCount() const {
    return Grid()->ColCount() * Grid()->RowCount() + (Grid()->EditorMode() ? 1 : 0);
}

QAccessibleInterface* TGridAccessible::child(int index) const {
    const int cells = Grid()->ColCount() * Grid()->RowCount();
    if (index < 0) {
        return nullptr;
    }
    if (index < cells) {
        return Cell(index % Grid()->ColCount(), index / Grid()->ColCount());
    }
    return index == cells ? Editor() : nullptr;
}

int TGridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (!child) {
        return -1;
    }
    if (child->object() && child->object() == Grid()->InplaceEditor()) {
        return Grid()->EditorMode() ? Grid()->ColCount() * Grid()->RowCount() : -1;
    }
    const auto* cell = dynamic_cast<const TGridCellAccessible*>(child);
    if (!cell || cell->Grid() != Grid() || !cell->isValid()) {
        return -1;
    }
    return IndexOf(*Grid(), cell->Col(), cell->Row());
}

QAccessibleInterface* TGridAccessible::childAt(int x, int y) const {
    if (QAccessibleInterface* editor = Editor(); editor && editor->rect().contains(x, y)) {
        return editor;
    }
    const QPoint point = Grid()->viewport()->mapFromGlobal(QPoint(x, y));
    const TGridCoord cell = Grid()->MouseCoord(point.x(), point.y());
    return Cell(cell.X, cell.Y);
}

QAccessibleInterface* TGridAccessible::focusChild() const {
    if (QAccessibleInterface* editor = Editor(); editor && Grid()->InplaceEditor()->hasFocus()) {
        return editor;
    }
    return Grid()->hasFocus() ? Cell(Grid()->Col(), Grid()->Row()) : nullptr;
}

void* TGridAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface) {
        return static_cast<QAccessibleTableInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface* TGridAccessible::cellAt(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) {
        return nullptr;
    }
    return Cell(column + Grid()->FixedCols(), row + Grid()->FixedRows());
}

int TGridAccessible::selectedCellCount() const {
    return selectedCells().size();
}

QList<QAccessibleInterface*> TGridAccessible::selectedCells() const {
    const TStringGrid* grid = Grid();
    if (QAccessibleInterface* current = cellAt(grid->Row() - grid->FixedRows(), grid->Col() - grid->FixedCols())) {
        return {current};
    }
    return {};
}

// Several fixed rows make one description, a line each.
QString TGridAccessible::columnDescription(int column) const {
    return HeadersOf(*Grid(), column + Grid()->FixedCols()).join(QLatin1Char('\n'));
}

QString TGridAccessible::rowDescription(int row) const {
    return LabelsOf(*Grid(), row + Grid()->FixedRows()).join(QLatin1Char('\n'));
}

int TGridAccessible::columnCount() const {
    return Grid()->ColCount() - Grid()->FixedCols();
}

int TGridAccessible::rowCount() const {
    return Grid()->RowCount() - Grid()->FixedRows();
}

TGridCellAccessible::TGridCellAccessible(TStringGrid* grid, int col, int row) : FGrid(grid), FCol(col), FRow(row) {}

bool TGridCellAccessible::isValid() const {
    return FGrid && FCol < FGrid->ColCount() && FRow < FGrid->RowCount();
}

QWindow* TGridCellAccessible::window() const {
    return FGrid ? FGrid->window()->windowHandle() : nullptr;
}

QAccessibleInterface* TGridCellAccessible::parent() const {
    return QAccessible::queryAccessibleInterface(FGrid.data());
}

QString TGridCellAccessible::text(QAccessible::Text t) const {
    if (t != QAccessible::Name || !isValid()) {
        return {};
    }
    return ToQString(FGrid->DisplayText(FCol, FRow));
}

QRect TGridCellAccessible::rect() const {
    return isValid() ? OnScreen(*FGrid, FGrid->CellRect(FCol, FRow)) : QRect();
}

QAccessible::Role TGridCellAccessible::role() const {
    if (!isValid()) {
        return QAccessible::Cell;
    }
    if (FRow < FGrid->FixedRows()) {
        return QAccessible::ColumnHeader;
    }
    return FCol < FGrid->FixedCols() ? QAccessible::RowHeader : QAccessible::Cell;
}

QAccessible::State TGridCellAccessible::state() const {
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    if (rect().isEmpty()) {
        state.invisible = true;
        state.offscreen = true;
    }
    if (IsFixed()) {
        return state;
    }
    state.focusable = true;
    state.selectable = true;
    state.selected = IsCurrent();
    state.focused = IsCurrent() && FGrid->hasFocus();
    state.editable = (FGrid->Options & goEditing) != 0;
    return state;
}

void* TGridCellAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableCellInterface && isValid() && !IsFixed()) {
        return static_cast<QAccessibleTableCellInterface*>(this);
    }
    return nullptr;
}

bool TGridCellAccessible::isSelected() const {
    return isValid() && IsCurrent();
}

QList<QAccessibleInterface*> TGridCellAccessible::columnHeaderCells() const {
    QList<QAccessibleInterface*> headers;
    if (auto* grid = dynamic_cast<TGridAccessible*>(parent())) {
        for (int row = 0; row < FGrid->FixedRows(); ++row) {
            headers << grid->Cell(FCol, row);
        }
    }
    return headers;
}

QList<QAccessibleInterface*> TGridCellAccessible::rowHeaderCells() const {
    QList<QAccessibleInterface*> headers;
    if (auto* grid = dynamic_cast<TGridAccessible*>(parent())) {
        for (int col = 0; col < FGrid->FixedCols(); ++col) {
            headers << grid->Cell(col, FRow);
        }
    }
    return headers;
}

int TGridCellAccessible::columnIndex() const {
    return FGrid ? FCol - FGrid->FixedCols() : -1;
}

int TGridCellAccessible::rowIndex() const {
    return FGrid ? FRow - FGrid->FixedRows() : -1;
}

bool TGridCellAccessible::IsFixed() const {
    return FCol < FGrid->FixedCols() || FRow < FGrid->FixedRows();
}

bool TGridCellAccessible::IsCurrent() const {
    return FCol == FGrid->Col() && FRow == FGrid->Row();
}

void AnnounceCurrentCell(TStringGrid& grid) {
    if (!QAccessible::isActive()) {
        return;
    }
    Announce(grid, grid.Col(), grid.Row(), QAccessible::Selection);
    if (grid.hasFocus()) {
        Announce(grid, grid.Col(), grid.Row(), QAccessible::Focus);
    }
}

// Qt announces the grid itself once its focus-in is handled; the cell is to be heard after that.
void AnnounceFocusedCell(TStringGrid& grid) {
    if (!QAccessible::isActive()) {
        return;
    }
    QMetaObject::invokeMethod(
        &grid,
        [&grid] {
            if (grid.hasFocus() && !grid.EditorMode()) {
                Announce(grid, grid.Col(), grid.Row(), QAccessible::Focus);
            }
        },
        Qt::QueuedConnection);
}

// The editor is read out under its cell's column header and row label, as the cell itself would be.
void NameEditor(TStringGrid& grid, int col, int row) {
    if (QAccessible::isActive()) {
        grid.InplaceEditor()->setAccessibleName((HeadersOf(grid, col) + LabelsOf(grid, row)).join(QLatin1Char(' ')));
    }
}

void AnnounceCellText(TStringGrid& grid, int col, int row) {
    if (QAccessible::isActive()) {
        Announce(grid, col, row, QAccessible::NameChanged);
    }
}
