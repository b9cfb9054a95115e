#include "app/FR0010MN.h"

#include "platform/QtText.h"
#include "sheet/CellNumbers.h"
#include "sheet/Totals.h"

#include <QLineEdit>

void TFrmFR0010MN::RecalcTotals() {
    TAmountSums sums;
    for (int r = 1; r < SGMain->RowCount(); ++r) {
        sums.Add(ReadAmount(SGMain->Cells[3][r]), IsMarkedLabel(SGMain->Cells[0][r]));
    }
    const TTotalsTexts texts = TotalsTexts(sums, FTaxRate);
    EdtGokei->setText(ToQString(texts.Gokei));
    EdtZeiKei->setText(ToQString(texts.ZeiKei));
    EdtSouKei->setText(ToQString(texts.SouKei));
    EdtSyokei->setText(ToQString(texts.Syokei));
}
