#include "tax/FR0020TX.h"

#include "app/FR0010MN.h"
#include "platform/Graphics.h"
#include "platform/QtText.h"
#include "platform/SysUtils.h"
#include "tax/TaxSettings.h"
#include "ui/EditFilter.h"
#include "ui/MsgDlg.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>

#include <memory>

TFrmFR0020TX* FrmFR0020TX = nullptr;

namespace {

// The user may not type the rate longer than this; a text the dialog writes itself may be longer.
constexpr int TypedLimit = 5;

QPushButton* Button(QWidget* parent, const char* caption, int left, int top, int width) {
    auto* button = Place(new QPushButton(ToQString(caption), parent), left, top, width, 25);
    // Enter and Escape are the box's, not the buttons'.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// How many characters of new input fit: typed text replaces the selection.
int Room(const QLineEdit* edit) {
    return TypedLimit - (static_cast<int>(edit->text().size()) - static_cast<int>(edit->selectedText().size()));
}

// Inserts what fits of Text as the user's own input; nothing when nothing fits.
void InsertLimited(QLineEdit* edit, const QString& text) {
    const int room = Room(edit);
    if (room > 0 && !text.isEmpty()) {
        edit->insert(text.left(room));
    }
}

bool InsertsText(const QKeyEvent* key) {
    const QString text = key->text();
    return !text.isEmpty() && text.at(0).isPrint() &&
           (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == Qt::NoModifier;
}

// True when the event is handled here and must not reach the box.
bool LimitInput(QLineEdit* edit, QEvent* event) {
    if (edit->isReadOnly()) {
        return false;
    }
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) {
            InsertLimited(edit, QGuiApplication::clipboard()->text());
            return true;
        }
        if (InsertsText(key) && key->text().size() > Room(edit)) {
            InsertLimited(edit, key->text());
            return true;
        }
        return false;
    }
    case QEvent::InputMethod: {
        auto* input = static_cast<QInputMethodEvent*>(event);
        if (input->commitString().size() > Room(edit)) {
            InsertLimited(edit, input->commitString());
            return true;
        }
        return false;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData()->text().size() > Room(edit)) {
            drop->ignore();
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonRelease: {
        // A middle click pastes the selection where the window system has one.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QClipboard* clipboard = QGuiApplication::clipboard();
        return mouse->button() == Qt::MiddleButton && clipboard->supportsSelection() &&
               clipboard->text(QClipboard::Selection).size() > Room(edit);
    }
    case QEvent::ContextMenu: {
        // The menu's Paste calls the box directly, past any key or drop handling.
        std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
        if (QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
            QObject::disconnect(paste, &QAction::triggered, nullptr, nullptr);
            QObject::connect(paste, &QAction::triggered, edit,
                             [edit] { InsertLimited(edit, QGuiApplication::clipboard()->text()); });
        }
        menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    default:
        return false;
    }
}

} // namespace

TFrmFR0020TX::TFrmFR0020TX(QWidget* Owner) : TForm(Owner) {
    // A fixed dialog frame with the close box only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    SetCaption("税率設定");
    SetFont(this, LayoutFont("ＭＳ Ｐゴシック", -12, clWindowText));
    setFixedSize(232, 93);
    SetLeft(357);
    SetTop(320);

    Label1 = Place(new QLabel(ToQString("税率"), this), 48, 28, 24, 12);
    EdtZeiritu = Place(new QLineEdit(this), 88, 24, 73, 20);
    SetFont(EdtZeiritu, LayoutFont("ＭＳ ゴシック", -12, clBlack));
    Label1->setBuddy(EdtZeiritu); // read out as the box's name
    BtnOK = Button(this, "OK", 40, 64, 89);
    BtnCancel = Button(this, "キャンセル", 136, 64, 91);
    setTabOrder(EdtZeiritu, BtnOK);
    setTabOrder(BtnOK, BtnCancel);

    EdtZeiritu->installEventFilter(this);
    connect(EdtZeiritu, &QLineEdit::textChanged, this, [this] { EdtZeirituChange(EdtZeiritu); });
    connect(BtnOK, &QPushButton::clicked, this, [this] { BtnOKClick(BtnOK); });
    connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(BtnCancel); });
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

bool TFrmFR0020TX::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == EdtZeiritu) {
        if (Event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(Event)->reason();
            const bool returning =
                reason == Qt::PopupFocusReason || (FBoxEntered && reason == Qt::ActiveWindowFocusReason);
            if (!returning) {
                FBoxEntered = true;
                EdtZeirituEnter(EdtZeiritu);
                // Entered other than by a click, the whole text is selected so that typing replaces it.
                if (reason != Qt::MouseFocusReason) {
                    EdtZeiritu->selectAll();
                }
            }
        } else if (Event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(Event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
                FBoxEntered = false;
            }
        } else if (LimitInput(EdtZeiritu, Event)) {
            return true;
        }
    }
    return TForm::eventFilter(Watched, Event);
}

// Every opening enters the box anew.
void TFrmFR0020TX::hideEvent(QHideEvent* event) {
    TForm::hideEvent(event);
    FBoxEntered = false;
}

void TFrmFR0020TX::FormShow(TObject*) {
    CenterForm(Application->MainForm(), this);
    // Written as typed text is, so a rate the box cannot hold leaves the last accepted text.
    EdtZeiritu->setText(ToQString(FloatToStr(FrmFR0010MN->FTaxRate * static_cast<long double>(0.0001))));
}

void TFrmFR0020TX::BtnCancelClick(TObject*) {
    Close();
}

void TFrmFR0020TX::BtnOKClick(TObject*) {
    try {
        const Fixed4 rate = SaveTaxRate(FromQString(EdtZeiritu->text()));
        FrmFR0010MN->FTaxRate = rate;
        Close();
    } catch (const Exception& failure) {
        MsgWarning(this, failure.Message());
    }
}

void TFrmFR0020TX::EdtZeirituEnter(TObject*) {
    SaveEditText(EdtZeiritu);
}

void TFrmFR0020TX::EdtZeirituChange(TObject*) {
    FilterEditChars(EdtZeiritu, "0123456789.", true);
}
