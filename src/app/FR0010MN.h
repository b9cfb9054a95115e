#pragma once

// The main window: the sheet SGMain and the four total fields above it, the menu and the status bar.
// An entry flows: the grid reports every change of its editor -> SGMainSetEditText recognises the
// repeated report that closes an edit as the commit -> the row commit rewrites the row's numbers
// and its amount -> RecalcTotals rereads the sheet and writes the four field texts -> the grid
// repaints its cells through SGMainDrawCell.

#include "platform/AnsiString.h"
#include "platform/Forms.h"
#include "platform/Grids.h"
#include "sheet/Fixed4.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QStatusBar;

// Five TABs: a text the editor never produces, so the first report after a load never matches it.
extern const AnsiString EditSentinel;

class TFrmFR0010MN : public TForm {
    Q_OBJECT

public:
    explicit TFrmFR0010MN(QWidget* Owner = nullptr);

    QWidget* PnlTop;
    QMenuBar* MnuMain;
    QMenu* MnuFile;
    QAction* MnuExit;
    QMenu* MnuHelp;
    QAction* MnuAbout;
    QFrame* BvlTop;
    TStringGrid* SGMain;
    QLineEdit* EdtGokei;
    QLineEdit* EdtSyokei;
    QLabel* Label1;
    QLabel* Label2;
    QMenu* MnuEdit;
    QAction* MnuClear;
    QAction* MnuSyokeiClear;
    QLabel* Label3;
    QLineEdit* EdtZeiKei;
    QLabel* Label4;
    QLineEdit* EdtSouKei;
    QMenu* MnuOption;
    QAction* MnuTax;
    QLabel* LblDummy;
    QStatusBar* StbInfo;

    int FMouseX = 0;
    int FMouseY = 0;
    AnsiString FEditText;
    Fixed4 FTaxRate = 0;

    void FormCreate(TObject* Sender);
    void MnuAboutClick(TObject* Sender);
    void MnuExitClick(TObject* Sender);
    void SGMainGetEditText(TObject* Sender, int ACol, int ARow, AnsiString& Value);
    void SGMainSetEditText(TObject* Sender, int ACol, int ARow, const AnsiString& Value);
    void SGMainSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void SGMainDrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    void SGMainGetDisplayText(TObject* Sender, int ACol, int ARow, AnsiString& Value);
    void SGMainDblClick(TObject* Sender);
    void SGMainMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void MnuSyokeiClearClick(TObject* Sender);
    void MnuClearClick(TObject* Sender);
    void MnuTaxClick(TObject* Sender);

    void InitSheet();
    void InitSheetFont();
    void ClearSheet();
    void ClearMarks();
    void RecalcTotals();

    void ShowAboutBox();

    void AppMessage(TMsg& Msg, bool& Handled);
    void MinimizeApp();
    void WMSysCommand(TMessage& Message);
    void Dispatch(TMessage& Message) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool FCentred = false;
};

extern TFrmFR0010MN* FrmFR0010MN;
