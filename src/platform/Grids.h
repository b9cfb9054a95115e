#pragma once

#include "platform/AnsiString.h"
#include "platform/Classes.h"
#include "platform/Graphics.h"

#include <QAbstractScrollArea>

#include <functional>
#include <string_view>
#include <vector>

class TInplaceEdit;
class TStringGrid;

enum TGridOption : unsigned {
    goFixedVertLine = 1u << 0,
    goFixedHorzLine = 1u << 1,
    goVertLine = 1u << 2,
    goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4,
    goColSizing = 1u << 5,
    goEditing = 1u << 6,
};
using TGridOptions = unsigned;

enum TGridDrawStateFlag : unsigned { gdSelected = 1u << 0, gdFocused = 1u << 1, gdFixed = 1u << 2 };
using TGridDrawState = unsigned;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftStateFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};
using TShiftState = unsigned;

struct TGridCoord {
    int X = -1; // column
    int Y = -1; // row
    bool operator==(const TGridCoord&) const = default;
};

// Cells[ACol][ARow] reads and writes one cell's text.
class TGridCell {
public:
    TGridCell(TStringGrid& grid, int col, int row) : FGrid(grid), FCol(col), FRow(row) {}
    operator const AnsiString&() const;
    TGridCell& operator=(const AnsiString& text);
    TGridCell& operator=(const TGridCell& other) { return *this = static_cast<const AnsiString&>(other); }
    bool operator==(std::string_view text) const { return static_cast<const AnsiString&>(*this) == text; }

private:
    TStringGrid& FGrid;
    int FCol;
    int FRow;
};

class TGridColumn {
public:
    TGridColumn(TStringGrid& grid, int col) : FGrid(grid), FCol(col) {}
    TGridCell operator[](int row) const { return TGridCell(FGrid, FCol, row); }

private:
    TStringGrid& FGrid;
    int FCol;
};

class TGridCells {
public:
    explicit TGridCells(TStringGrid& grid) : FGrid(grid) {}
    TGridColumn operator[](int col) const { return TGridColumn(FGrid, col); }

private:
    TStringGrid& FGrid;
};

// A grid of text cells with fixed header rows and columns and an in-place editor.
// Its event contract, which the sheet's commit detection rests on:
// - the editor is loaded through OnGetEditText whenever it opens on a cell, follows the current
//   cell, or the program writes the cell under it; loading is never reported as a change;
// - every change the user makes is copied into the cell, then reported through OnSetEditText;
// - closing the editor reports its final text once more, before the editor is hidden;
// - OnSelectCell may refuse any move of the current cell;
// - OnMouseDown follows the grid's own handling of a press; OnDblClick precedes the second press.
class TStringGrid : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TStringGrid(QWidget* parent = nullptr);
    ~TStringGrid() override;

    TGridCells Cells{*this};
    TCanvas* const Canvas;
    TGridOptions Options = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;

    std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)> OnGetEditText;
    std::function<void(TObject* Sender, int ACol, int ARow, const AnsiString& Value)> OnSetEditText;
    std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)> OnSelectCell;
    std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)> OnDrawCell;
    // What a cell shows, for screen readers, when an owner's drawing shows it differently from its text.
    std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)> OnGetDisplayText;
    std::function<void(TObject* Sender)> OnDblClick;
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)> OnMouseDown;

    int ColCount() const { return FColCount; }
    int RowCount() const { return FRowCount; }
    void SetColCount(int count);
    void SetRowCount(int count);
    int FixedCols() const { return FFixedCols; }
    int FixedRows() const { return FFixedRows; }
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int width); // resets every column to it
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int height);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);

    TFont Font() const { return GetFont(this); }
    void SetFont(const TFont& font);

    int Col() const { return FCol; }
    int Row() const { return FRow; }
    void SetCol(int col) { FocusCell(col, FRow); }
    void SetRow(int row) { FocusCell(FCol, row); }
    int TopRow() const { return FTopRow; }

    AnsiString DisplayText(int col, int row);
    TGridCoord MouseCoord(int X, int Y) const;
    TRect CellRect(int col, int row) const; // empty when the cell is not in view
    bool EditorMode() const { return FEditorShown; }
    TInplaceEdit* InplaceEditor() const { return FEditor; }

    void Repaint();
    void SetFocus();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class TGridCell;
    friend class TInplaceEdit;

    static constexpr int GridLineWidth = 1;

    const AnsiString& CellText(int col, int row) const;
    void SetCellText(int col, int row, const AnsiString& text);
    void StoreCell(int col, int row, const AnsiString& text);
    bool ValidCell(int col, int row) const;
    void InvalidateCell(int col, int row);

    bool FocusCell(int col, int row);
    bool MoveCurrent(int col, int row);
    void ScrollInView(int col, int row);
    int VisibleRowCount() const; // rows below the fixed rows that fit whole
    int VisibleColCount() const;
    int ScrollingWidth() const;             // the width right of the fixed columns
    std::vector<int> ColumnsInView() const; // fixed ones first, then from LeftCol on
    std::vector<int> RowsInView() const;
    int ColumnX(int col) const; // -1 when scrolled out of view
    int RowY(int row) const;
    void UpdateScrollBars();

    void ShowEditor(bool selectAll);
    void LoadEditor();
    void HideEditor();
    void CancelEditor();
    void PlaceEditor();
    void EditorTextEdited();
    void EditorDblClick();
    void EditorLostFocus(Qt::FocusReason reason);
    bool HandleNavigationKey(QKeyEvent* event);

    void Press(QMouseEvent* event, TShiftState extra);
    int SizingColumnAt(int x, int y) const;
    bool IsFocused() const;
    void PaintCell(QPainter& painter, int col, int row, const TRect& rect);

    std::vector<AnsiString> FCells;
    std::vector<int> FColWidths;
    int FColCount = 5;
    int FRowCount = 5;
    int FFixedCols = 1;
    int FFixedRows = 1;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    int FCol = 1;
    int FRow = 1;
    int FTopRow = 1;
    int FLeftCol = 1;

    TInplaceEdit* FEditor;
    bool FEditorShown = false;
    bool FEditorClosing = false;
    int FEditCol = -1;
    int FEditRow = -1;
    AnsiString FEditorOriginal;

    int FSizingCol = -1;
    int FSizingStartX = 0;
    int FSizingStartWidth = 0;
};
