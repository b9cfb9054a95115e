#include "app/FR0010MN.h"

#include "platform/Graphics.h"
#include "platform/QtText.h"
#include "platform/Windows.h"
#include "tax/FR0020TX.h"
#include "tax/TaxSettings.h"
#include "ui/MsgDlg.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QShowEvent>
#include <QStatusBar>

#include <algorithm>

const AnsiString EditSentinel(5, '\t');

TFrmFR0010MN* FrmFR0010MN = nullptr;

namespace {

constexpr int ClientWidth = 392;
constexpr int ClientHeight = 254;

QLabel* CaptionLabel(QWidget* parent, const char* caption, int left, int top) {
    auto* label = Place(new QLabel(ToQString(caption), parent), left, top, 24, 12);
    SetFont(label, LayoutFont("MS UI Gothic", -12, clBlack));
    return label;
}

QLineEdit* TotalField(QWidget* parent, int left, int top) {
    auto* field = Place(new QLineEdit(parent), left, top, 137, 20);
    field->setReadOnly(true);
    SetFont(field, LayoutFont("ＭＳ 明朝", -12, clBlue));
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, ColorToQColor(clBtnFace, field));
    field->setPalette(palette);
    return field;
}

QAction* MenuItem(QMenu* menu, const char* caption, void (TFrmFR0010MN::*handler)(TObject*), TFrmFR0010MN* form) {
    QAction* item = menu->addAction(ToQString(caption));
    QObject::connect(item, &QAction::triggered, form, [form, handler] { (form->*handler)(form); });
    return item;
}

} // namespace

TFrmFR0010MN::TFrmFR0010MN(QWidget* Owner) : TForm(Owner) {
    // A fixed single border with the system menu and a minimise box, no maximise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    SetFont(this, LayoutFont("ＭＳ Ｐゴシック", -12, clWindowText));
    QIcon icon;
    for (const char* size : {"16", "32", "64"}) {
        icon.addFile(QStringLiteral(":/icons/kalnor-%1.png").arg(QLatin1String(size)));
    }
    setWindowIcon(icon);

    MnuMain = new QMenuBar(this);
    MnuFile = MnuMain->addMenu(ToQString("ファイル(&F)"));
    MnuExit = MenuItem(MnuFile, "終了(&X)", &TFrmFR0010MN::MnuExitClick, this);
    MnuEdit = MnuMain->addMenu(ToQString("編集(&E)"));
    MnuClear = MenuItem(MnuEdit, "クリア(&C)", &TFrmFR0010MN::MnuClearClick, this);
    MnuClear->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    MnuSyokeiClear = MenuItem(MnuEdit, "小計対象クリア(&S)", &TFrmFR0010MN::MnuSyokeiClearClick, this);
    MnuSyokeiClear->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    MnuOption = MnuMain->addMenu(ToQString("オプション(&O)"));
    MnuTax = MenuItem(MnuOption, "税率設定(&T)", &TFrmFR0010MN::MnuTaxClick, this);
    MnuHelp = MnuMain->addMenu(ToQString("ヘルプ(&H)"));
    MnuAbout = MenuItem(MnuHelp, "バージョン情報(&A)", &TFrmFR0010MN::MnuAboutClick, this);
    const int menuHeight = MnuMain->sizeHint().height();
    MnuMain->setGeometry(0, 0, ClientWidth, menuHeight);

    // The designed layout is of the client area, below the menu.
    auto* client = Place(new QWidget(this), 0, menuHeight, ClientWidth, ClientHeight);
    setFixedSize(ClientWidth, menuHeight + ClientHeight);
    SetLeft(326);
    SetTop(229);

    PnlTop = Place(new QWidget(client), 0, 0, 392, 57);
    BvlTop = Place(new QFrame(PnlTop), 0, 0, 392, 2);
    BvlTop->setFrameShape(QFrame::HLine);
    BvlTop->setFrameShadow(QFrame::Sunken);
    Label1 = CaptionLabel(PnlTop, "合計", 12, 11);
    Label2 = CaptionLabel(PnlTop, "小計", 204, 35);
    Label3 = CaptionLabel(PnlTop, "税額", 204, 11);
    Label4 = CaptionLabel(PnlTop, "総計", 12, 35);
    LblDummy = Place(new QLabel(QStringLiteral("LblDummy"), PnlTop), 4, 4, 48, 12);
    SetFont(LblDummy, LayoutFont("ＭＳ ゴシック", -12, clBlack));
    LblDummy->hide();
    EdtGokei = TotalField(PnlTop, 48, 7);
    EdtSyokei = TotalField(PnlTop, 240, 31);
    EdtZeiKei = TotalField(PnlTop, 240, 7);
    EdtSouKei = TotalField(PnlTop, 48, 31);
    // Each field is read out under its caption.
    Label1->setBuddy(EdtGokei);
    Label2->setBuddy(EdtSyokei);
    Label3->setBuddy(EdtZeiKei);
    Label4->setBuddy(EdtSouKei);

    SGMain = Place(new TStringGrid(client), 0, 57, 392, 178);
    SGMain->SetColCount(4);
    SGMain->SetRowCount(101);
    SGMain->SetDefaultColWidth(80);
    SGMain->SetFont(LayoutFont("ＭＳ ゴシック", -12, clBlack));
    SGMain->Options =
        goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect | goColSizing | goEditing;
    SGMain->OnGetEditText = [this](TObject* Sender, int ACol, int ARow, AnsiString& Value) {
        SGMainGetEditText(Sender, ACol, ARow, Value);
    };
    SGMain->OnSetEditText = [this](TObject* Sender, int ACol, int ARow, const AnsiString& Value) {
        SGMainSetEditText(Sender, ACol, ARow, Value);
    };
    SGMain->OnSelectCell = [this](TObject* Sender, int ACol, int ARow, bool& CanSelect) {
        SGMainSelectCell(Sender, ACol, ARow, CanSelect);
    };
    SGMain->OnDrawCell = [this](TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State) {
        SGMainDrawCell(Sender, ACol, ARow, Rect, State);
    };
    SGMain->OnGetDisplayText = [this](TObject* Sender, int ACol, int ARow, AnsiString& Value) {
        SGMainGetDisplayText(Sender, ACol, ARow, Value);
    };
    SGMain->OnDblClick = [this](TObject* Sender) { SGMainDblClick(Sender); };
    SGMain->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        SGMainMouseDown(Sender, Button, Shift, X, Y);
    };

    StbInfo = Place(new QStatusBar(client), 0, 235, 392, 19);
    StbInfo->setSizeGripEnabled(false);
    auto* ready = new QLabel(ToQString("ﾚﾃﾞｨ"), StbInfo);
    ready->setFixedWidth(50);
    StbInfo->addWidget(ready);
    StbInfo->setEnabled(false);

    // Tab order: the sheet first, then the fields in their designed order.
    setTabOrder(SGMain, EdtGokei);
    setTabOrder(EdtGokei, EdtSyokei);
    setTabOrder(EdtSyokei, EdtZeiKei);
    setTabOrder(EdtZeiKei, EdtSouKei);
    SetActiveControl(SGMain);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFrmFR0010MN::FormCreate(TObject*) {
    Application->OnMessage = [this](TMsg& Msg, bool& Handled) { AppMessage(Msg, Handled); };
    SetCaption(Application->Title());
    InitSheet();
    InitSheetFont();
    const TTaxRateLoad load = LoadTaxRate();
    FTaxRate = load.Rate;
    if (load.Failed) {
        MsgWarning(this, load.Message);
    }
}

// Centred on the screen when first shown, by its outer size, never off the top or left edge.
void TFrmFR0010MN::showEvent(QShowEvent* event) {
    if (!FCentred && !event->spontaneous()) {
        FCentred = true;
        SetLeft(std::max(0, (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2));
        SetTop(std::max(0, (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2));
    }
    TForm::showEvent(event);
}

void TFrmFR0010MN::MnuExitClick(TObject*) {
    Close();
}

void TFrmFR0010MN::MnuClearClick(TObject*) {
    if (MsgConfirm(this, "消去します。よろしいですか？", 2) == 1) {
        ClearSheet();
    }
}

void TFrmFR0010MN::MnuSyokeiClearClick(TObject*) {
    ClearMarks();
}

// The totals are recomputed however the dialog closes.
void TFrmFR0010MN::MnuTaxClick(TObject*) {
    FrmFR0020TX->ShowModal();
    RecalcTotals();
}

void TFrmFR0010MN::MnuAboutClick(TObject*) {
    ShowAboutBox();
}

// Restore and minimise commands for any window of the program act on the application as a whole.
void TFrmFR0010MN::AppMessage(TMsg& Msg, bool& Handled) {
    if (Msg.message == WM_SYSCOMMAND && Msg.wParam == SC_RESTORE) {
        SetForegroundWindow(Application->Handle());
        ShowWindow(Application->Handle(), SW_RESTORE);
        SetWindowPos(Application->Handle(), nullptr, 0, 0, 0, 0, SWP_NOZORDER);
        Handled = true;
    } else if (Msg.message == WM_SYSCOMMAND && Msg.wParam == SC_MINIMIZE) {
        MinimizeApp();
        Handled = true;
    }
}

void TFrmFR0010MN::MinimizeApp() {
    SetForegroundWindow(Application->Handle());
    SetWindowPos(Application->Handle(), HWND_BOTTOM, Left(), Top(), Width(), 0, SWP_NOZORDER);
    ShowWindow(Application->Handle(), SW_MINIMIZE);
}

void TFrmFR0010MN::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_SYSCOMMAND) {
        WMSysCommand(Message);
    } else {
        TForm::Dispatch(Message);
    }
}

// Only an exact minimise goes to the application; everything else is the system's default.
void TFrmFR0010MN::WMSysCommand(TMessage& Message) {
    if (Message.WParam == SC_MINIMIZE) {
        MinimizeApp();
        Message.Result = 1;
    } else {
        DefaultHandler(Message);
    }
}
