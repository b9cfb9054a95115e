#include "platform/Dialogs.h"

#include "platform/Graphics.h"
#include "platform/QtText.h"
#include "platform/Windows.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>

#include <algorithm>
#include <array>
#include <vector>

namespace {

struct ButtonKind {
    const char* Name;
    const char* Caption; // UTF-8, whatever the active code page
    int Result;
};

// Indexed by TMsgDlgBtn.
constexpr std::array<ButtonKind, 9> ButtonKinds{{
    {"Yes", "はい(&Y)", mrYes},
    {"No", "いいえ(&N)", mrNo},
    {"OK", "OK", mrOk},
    {"Cancel", "ｷｬﾝｾﾙ", mrCancel},
    {"Abort", "中止(&A)", mrAbort},
    {"Retry", "再試行(&R)", mrRetry},
    {"Ignore", "無視(&I)", mrIgnore},
    {"All", "すべて(&A)", mrAll},
    {"Help", "ﾍﾙﾌﾟ(&H)", mrNone},
}};

constexpr int Margin = 8;
constexpr int IconSize = 32;
constexpr int IconTextGap = 10;
constexpr int TextButtonGap = 12;
constexpr int ButtonGap = 6;
constexpr int MinButtonWidth = 75;
constexpr int MinButtonHeight = 25;

bool Has(TMsgDlgButtons Buttons, TMsgDlgBtn Kind) {
    return (Buttons & (1u << Kind)) != 0;
}

const char* CaptionFor(TMsgDlgType DlgType) {
    switch (DlgType) {
    case mtWarning:
        return "警告";
    case mtError:
        return "エラー";
    case mtInformation:
        return "情報";
    case mtConfirmation:
        return "確認";
    default:
        return "";
    }
}

bool IconFor(TMsgDlgType DlgType, QStyle::StandardPixmap& Icon) {
    switch (DlgType) {
    case mtWarning:
        Icon = QStyle::SP_MessageBoxWarning;
        return true;
    case mtError:
        Icon = QStyle::SP_MessageBoxCritical;
        return true;
    case mtInformation:
        Icon = QStyle::SP_MessageBoxInformation;
        return true;
    case mtConfirmation:
        Icon = QStyle::SP_MessageBoxQuestion;
        return true;
    default:
        return false;
    }
}

// The program's messages break lines the Windows way; a label wants bare line feeds.
QString DisplayText(const AnsiString& Msg) {
    QString text = ToQString(Msg);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// "はい(&Y)" is read out as "はい"; its access key is announced as the button's shortcut.
QString SpokenCaption(const char* Caption) {
    static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)$"));
    return QString::fromUtf8(Caption).remove(accessKey);
}

QPushButton* DefaultButtonOf(const QWidget* Form) {
    for (QPushButton* button : Form->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
        if (button->isDefault()) {
            return button;
        }
    }
    return nullptr;
}

} // namespace

TMessageForm::TMessageForm(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    SetFont(this, LayoutFont("ＭＳ Ｐゴシック", 12, clWindowText));
    setWindowTitle(QString::fromUtf8(CaptionFor(DlgType)));

    int textLeft = Margin;
    int contentBottom = Margin;
    QStyle::StandardPixmap icon{};
    if (IconFor(DlgType, icon)) {
        auto* image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image"));
        image->setPixmap(style()->standardIcon(icon, nullptr, this).pixmap(IconSize, IconSize));
        image->setGeometry(Margin, Margin, IconSize, IconSize);
        textLeft += IconSize + IconTextGap;
        contentBottom = Margin + IconSize;
    }

    auto* message = new QLabel(this);
    message->setObjectName(QStringLiteral("Message"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    message->setText(DisplayText(Msg));
    // Read out without the blank line the callers put before it.
    message->setAccessibleName(message->text().trimmed());
    setAccessibleDescription(message->accessibleName());
    const int wrapWidth = std::max(1, GetSystemMetrics(SM_CXSCREEN) / 2);
    // Measured the way the label draws it, so every line it shows is counted, leading empty ones too.
    const QRect textRect = message->fontMetrics().boundingRect(
        QRect(0, 0, wrapWidth, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, message->text());
    const int textWidth = std::min(textRect.width(), wrapWidth);
    message->setGeometry(textLeft, Margin, textWidth, textRect.height());
    contentBottom = std::max(contentBottom, Margin + textRect.height());

    std::vector<QPushButton*> buttons;
    QSize buttonSize(MinButtonWidth, MinButtonHeight);
    for (std::size_t kind = 0; kind < ButtonKinds.size(); ++kind) {
        if (!Has(Buttons, static_cast<TMsgDlgBtn>(kind))) {
            continue;
        }
        auto* button = new QPushButton(QString::fromUtf8(ButtonKinds[kind].Caption), this);
        button->setObjectName(QString::fromLatin1(ButtonKinds[kind].Name));
        button->setAccessibleName(SpokenCaption(ButtonKinds[kind].Caption));
        button->setAutoDefault(false);
        if (const int result = ButtonKinds[kind].Result; result != mrNone) {
            connect(button, &QPushButton::clicked, this, [this, result] { SetModalResult(result); });
        }
        buttonSize = buttonSize.expandedTo(button->sizeHint());
        buttons.push_back(button);
    }

    const int count = static_cast<int>(buttons.size());
    const int rowWidth = count > 0 ? count * buttonSize.width() + (count - 1) * ButtonGap : 0;
    const int clientWidth = std::max(textLeft + textWidth, Margin + rowWidth) + Margin;
    const int rowTop = contentBottom + TextButtonGap;
    int left = (clientWidth - rowWidth) / 2;
    for (QPushButton* button : buttons) {
        button->setGeometry(left, rowTop, buttonSize.width(), buttonSize.height());
        left += buttonSize.width() + ButtonGap;
    }
    setFixedSize(clientWidth, rowTop + (count > 0 ? buttonSize.height() : 0) + Margin);

    const auto find = [this](TMsgDlgBtn Kind) {
        return findChild<QPushButton*>(QString::fromLatin1(ButtonKinds[Kind].Name));
    };
    if (Has(Buttons, mbOK)) {
        find(mbOK)->setDefault(true);
    } else if (Has(Buttons, mbYes)) {
        find(mbYes)->setDefault(true);
    } else if (Has(Buttons, mbRetry)) {
        find(mbRetry)->setDefault(true);
    }
    if (Has(Buttons, mbCancel)) {
        FCancelButton = find(mbCancel);
    } else if (Has(Buttons, mbNo)) {
        FCancelButton = find(mbNo);
    } else if (Has(Buttons, mbOK)) {
        FCancelButton = find(mbOK);
    }
    // Without an active control chosen by the caller, the first button is the one with the focus.
    if (!buttons.empty()) {
        buttons.front()->setFocus(Qt::OtherFocusReason);
    }

    SetLeft((GetSystemMetrics(SM_CXSCREEN) - Width()) / 2);
    SetTop((GetSystemMetrics(SM_CYSCREEN) - Height()) / 2);
}

// A screen reader speaks the message as soon as it shows, as it would for any alert.
void TMessageForm::showEvent(QShowEvent* event) {
    TForm::showEvent(event);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

// Enter and Escape are the form's, not the buttons': a button only ever presses itself, and a key that no
// button took falls through to here.
void TMessageForm::keyPressEvent(QKeyEvent* event) {
    QPushButton* target = nullptr;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        target = qobject_cast<QPushButton*>(focusWidget());
        if (!target || target->window() != this) {
            target = DefaultButtonOf(this);
        }
        break;
    case Qt::Key_Escape:
        target = qobject_cast<QPushButton*>(FCancelButton);
        break;
    default:
        break;
    }
    if (!target) {
        TForm::keyPressEvent(event);
        return;
    }
    event->accept();
    target->click();
}

TMessageForm* CreateMessageDialog(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    return new TMessageForm(Msg, DlgType, Buttons);
}
