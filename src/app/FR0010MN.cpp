#include "app/FR0010MN.h"

#include "platform/Graphics.h"
#include "platform/QtText.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>

const AnsiString EditSentinel(5, '\t');

namespace {

template <typename Control> Control* Place(Control* control, int left, int top, int width, int height) {
    control->setGeometry(left, top, width, height);
    return control;
}

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

} // namespace

TFrmFR0010MN::TFrmFR0010MN(QWidget* parent) : QWidget(parent) {
    setFixedSize(392, 254);
    SetFont(this, LayoutFont("ＭＳ Ｐゴシック", -12, clWindowText));

    PnlTop = Place(new QWidget(this), 0, 0, 392, 57);
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

    SGMain = Place(new TStringGrid(this), 0, 57, 392, 178);
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
    SGMain->OnDblClick = [this](TObject* Sender) { SGMainDblClick(Sender); };
    SGMain->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        SGMainMouseDown(Sender, Button, Shift, X, Y);
    };

    // Tab order: the sheet first, then the fields in their designed order.
    setTabOrder(SGMain, EdtGokei);
    setTabOrder(EdtGokei, EdtSyokei);
    setTabOrder(EdtSyokei, EdtZeiKei);
    setTabOrder(EdtZeiKei, EdtSouKei);
    SGMain->setFocus();
}
