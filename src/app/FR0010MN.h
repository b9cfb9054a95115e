#pragma once

// The main window: the sheet SGMain and the four total fields above it.
// An entry flows: the grid reports every change of its editor -> SGMainSetEditText recognises the
// repeated report that closes an edit as the commit -> the row commit rewrites the row's numbers
// and its amount -> RecalcTotals rereads the sheet and writes the four field texts -> the grid
// repaints its cells through SGMainDrawCell.

#include "platform/AnsiString.h"
#include "platform/Grids.h"
#include "sheet/Fixed4.h"

#include <QWidget>

class QFrame;
class QLabel;
class QLineEdit;

// Five TABs: a text the editor never produces, so the first report after a load never matches it.
extern const AnsiString EditSentinel;

class TFrmFR0010MN : public QWidget {
    Q_OBJECT

public:
    explicit TFrmFR0010MN(QWidget* parent = nullptr);

    QWidget* PnlTop;
    QFrame* BvlTop;
    TStringGrid* SGMain;
    QLineEdit* EdtGokei;
    QLineEdit* EdtSyokei;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLineEdit* EdtZeiKei;
    QLabel* Label4;
    QLineEdit* EdtSouKei;
    QLabel* LblDummy;

    int FMouseX = 0;
    int FMouseY = 0;
    AnsiString FEditText;
    Fixed4 FTaxRate = 0;

    void InitSheet();
    void InitSheetFont();
    void ClearSheet();
    void ClearMarks();
    void RecalcTotals();

    void SGMainGetEditText(TObject* Sender, int ACol, int ARow, AnsiString& Value);
    void SGMainSetEditText(TObject* Sender, int ACol, int ARow, const AnsiString& Value);
    void SGMainSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void SGMainDrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    void SGMainDblClick(TObject* Sender);
    void SGMainMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
};
