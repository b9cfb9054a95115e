#pragma once

#include <QAccessibleWidget>
#include <QPointer>

#include <map>
#include <utility>

class TStringGrid;

// A screen reader's view of a TStringGrid: a table of the cells below and right of the fixed ones, whose
// headers are the fixed row's texts and whose row labels are the fixed column's. Every cell, fixed ones
// included, is a child (index row * ColCount + col) that lives as long as the grid, so a reader can hold
// on to it; the open in-place editor is the last child.
class TGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TGridAccessible(TStringGrid* grid);
    ~TGridAccessible() override;

    QAccessibleInterface* Cell(int col, int row) const;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    // The grid selects one cell, the current one; whole rows and columns are not selectable.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    TStringGrid* Grid() const;
    QAccessibleInterface* Editor() const;

    mutable std::map<std::pair<int, int>, QAccessible::Id> FCells; // (row, col)
};

// One cell of a grid. It stays valid while its grid exists and still has the cell.
class TGridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    TGridCellAccessible(TStringGrid* grid, int col, int row);

    int Col() const { return FCol; }
    int Row() const { return FRow; }
    const TStringGrid* Grid() const { return FGrid; }

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override;
    int rowIndex() const override;
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    bool IsFixed() const;
    bool IsCurrent() const;

    QPointer<TStringGrid> FGrid;
    int FCol;
    int FRow;
};

// What the grid tells a listening screen reader; nothing is done while none listens.
void AnnounceCurrentCell(TStringGrid& grid);
void AnnounceFocusedCell(TStringGrid& grid);
void NameEditor(TStringGrid& grid, int col, int row);
void AnnounceCellText(TStringGrid& grid, int col, int row);
