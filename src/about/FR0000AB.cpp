#include "about/FR0000AB.h"

#include "platform/Graphics.h"
#include "platform/QtText.h"
#include "ui/AppFiles.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

TAboutBox* AboutBox = nullptr;

namespace {

constexpr int ClientWidth = 257;
constexpr int ClientHeight = 178;

// The double-size drawing on high-density screens, shown at the picture's own logical size.
QPixmap Picture(const char* name, qreal pixelRatio) {
    const bool dense = pixelRatio > 1.0;
    QPixmap picture(
        QStringLiteral(":/about/%1%2.png").arg(QLatin1String(name), dense ? QStringLiteral("@2x") : QString()));
    if (dense) {
        picture.setDevicePixelRatio(2.0);
    }
    return picture;
}

QLabel* NoticeLine(QWidget* parent, const char* text, int top) {
    auto* label = Place(new QLabel(ToQString(text), parent), 16, top, 209, 17);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setAutoFillBackground(false); // the white form shows through
    SetFont(label, LayoutFont("ＭＳ Ｐゴシック", -11, clBlack));
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget* Owner) : TForm(Owner) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight);
    SetFont(this, LayoutFont("ＭＳ Ｐゴシック", -12, clWindowText));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ColorToQColor(clWhite, this));
    setPalette(palette);
    setAutoFillBackground(true);

    // Created in painting order: the icon lies over the notice lines, the button over everything.
    ImgAppLogo = Place(new QLabel(this), 0, 28, ClientWidth, 42);
    ImgAppLogo->setObjectName(QStringLiteral("ImgAppLogo"));
    ImgAppLogo->setAlignment(Qt::AlignCenter);
    ImgAppLogo->setPixmap(Picture("logo", devicePixelRatioF()));

    Copyright = NoticeLine(this, "Copyright (C) 2026 Kalnor Project", 104);
    Copyright->setObjectName(QStringLiteral("Copyright"));
    Copyright->setWordWrap(false);

    Comments = NoticeLine(this, "All rights reserved.", 120);
    Comments->setObjectName(QStringLiteral("Comments"));
    Comments->setWordWrap(true);

    ImgVorn = Place(new QLabel(this), 32, 102, 32, 32);
    ImgVorn->setObjectName(QStringLiteral("ImgVorn"));
    ImgVorn->setPixmap(Picture("vorn", devicePixelRatioF()));

    OKButton = Place(new QPushButton(QStringLiteral("OK"), this), 176, 144, 75, 25);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] { SetModalResult(mrOk); });
    SetActiveControl(OKButton);

    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TAboutBox::FormCreate(TObject*) {
    SetCaption(Application->Title() + " Ver" + GetAppVersionText(2));
}

// Enter answers OK wherever the focus is; without a cancel button, Escape is swallowed so that nothing
// closes the box but OK and the close box.
void TAboutBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        OKButton->click();
        return;
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        TForm::keyPressEvent(event);
        return;
    }
}
