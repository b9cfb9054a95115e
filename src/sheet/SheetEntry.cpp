#include "app/FR0010MN.h"

#include "sheet/CellNumbers.h"

void TFrmFR0010MN::InitSheet() {
    SGMain->Cells[1][0] = "単価";
    SGMain->Cells[2][0] = "数量";
    SGMain->Cells[3][0] = "金額";
    for (int r = 1; r < SGMain->RowCount(); ++r) {
        SGMain->Cells[0][r] = IntToStr(r);
    }
}

void TFrmFR0010MN::SGMainGetEditText(TObject*, int, int, AnsiString&) {
    FEditText = EditSentinel;
}

// Every change of the editor is reported; the report that repeats the previous text is the
// one made as the editor closes, and commits the row.
void TFrmFR0010MN::SGMainSetEditText(TObject*, int, int ARow, const AnsiString& Value) {
    if (Value != FEditText) {
        FEditText = Value;
        return;
    }
    const int price = ReadCellNumber(SGMain->Cells[1][ARow]);
    SGMain->Cells[1][ARow] = CellText(price);
    const int quantity = ReadCellNumber(SGMain->Cells[2][ARow]);
    SGMain->Cells[2][ARow] = CellText(quantity);
    SGMain->Cells[3][ARow] = CellText(RowAmount(price, quantity));
    RecalcTotals();
}

// The amount column is computed, never edited.
void TFrmFR0010MN::SGMainSelectCell(TObject*, int ACol, int, bool& CanSelect) {
    if (ACol == 3) {
        CanSelect = false;
    }
}

void TFrmFR0010MN::SGMainMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
    FMouseX = X;
    FMouseY = Y;
}

// Judged by the last press on the grid, so a double-click inside the editor counts where that press was.
void TFrmFR0010MN::SGMainDblClick(TObject*) {
    const TGridCoord cell = SGMain->MouseCoord(FMouseX, FMouseY);
    if (cell.Y > 0 && cell.X == 0) {
        const AnsiString label = SGMain->Cells[0][cell.Y];
        SGMain->Cells[0][cell.Y] = IsMarkedLabel(label) ? IntToStr(cell.Y) : SubtotalMark + label;
        SGMain->Repaint();
    }
    RecalcTotals();
}

void TFrmFR0010MN::ClearSheet() {
    for (int r = 1; r < SGMain->RowCount(); ++r) {
        SGMain->Cells[0][r] = IntToStr(r);
        for (int k = 1; k < SGMain->ColCount(); ++k) {
            SGMain->Cells[k][r] = AnsiString();
        }
    }
    SGMain->SetCol(1);
    SGMain->SetRow(1);
    SGMain->Repaint();
    RecalcTotals();
    SGMain->SetFocus();
}

void TFrmFR0010MN::ClearMarks() {
    for (int r = 1; r < SGMain->RowCount(); ++r) {
        SGMain->Cells[0][r] = IntToStr(r);
    }
    SGMain->Repaint();
    RecalcTotals();
}
