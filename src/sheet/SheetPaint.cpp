#include "app/FR0010MN.h"

#include "sheet/AmountText.h"
#include "sheet/CellNumbers.h"

#include <QLabel>

void TFrmFR0010MN::InitSheetFont() {
    SGMain->SetFont(GetFont(LblDummy));
    SGMain->Canvas->Font = SGMain->Font();
    SGMain->SetDefaultRowHeight(SGMain->Canvas->TextHeight("A") + 4);
}

// Labels and numbers are right-aligned and vertically centred; the header texts keep the grid's painting.
void TFrmFR0010MN::SGMainDrawCell(TObject*, int ACol, int ARow, TRect Rect, TGridDrawState State) {
    TCanvas* canvas = SGMain->Canvas;
    const int h = Rect.Bottom - Rect.Top;
    if (State & gdFixed) {
        if (ACol != 0) {
            return;
        }
        canvas->FillRect(Rect);
    } else {
        if (IsMarkedLabel(SGMain->Cells[0][ARow])) {
            canvas->Brush.Color = clYellow;
        } else if (ACol == 3) {
            canvas->Brush.Color = clAqua;
        } else {
            canvas->Brush.Color = clWhite;
        }
        canvas->FillRect(Rect);
    }
    const AnsiString text = SGMain->DisplayText(ACol, ARow);
    const int offset = h - canvas->TextHeight(text);
    canvas->TextOut(Rect.Right - canvas->TextWidth(text), Rect.Top + (offset >= 0 ? offset / 2 : (offset - 1) / 2),
                    text);
}

// The numbers show grouped by thousands; labels and headers as they stand.
void TFrmFR0010MN::SGMainGetDisplayText(TObject*, int ACol, int ARow, AnsiString& Value) {
    if (ACol >= SGMain->FixedCols() && ARow >= SGMain->FixedRows()) {
        Value = FormatThousands(Value);
    }
}
