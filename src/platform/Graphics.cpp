#include "platform/Graphics.h"

#include "platform/QtText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <array>
#include <string_view>

QColor ColorToQColor(TColor color, const QWidget* widget) {
    if ((color & 0x80000000u) == 0) {
        return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                      static_cast<int>((color >> 16) & 0xFF));
    }
    const QPalette palette = widget ? widget->palette() : QPalette();
    switch (color) {
    case clBtnFace:
        return palette.color(QPalette::Button);
    case clWindow:
        return palette.color(QPalette::Base);
    case clHighlight:
        return palette.color(QPalette::Highlight);
    case clHighlightText:
        return palette.color(QPalette::HighlightedText);
    case clBtnHighlight:
        return palette.color(QPalette::Light);
    case clBtnShadow:
        return palette.color(QPalette::Dark);
    default:
        return palette.color(QPalette::Text);
    }
}

namespace {

struct FontSubstitute {
    std::string_view LayoutName;
    const char* Family;
    bool FixedPitch;
};

// Gothic faces stay Gothic and keep their pitch; the Mincho face stays Mincho.
constexpr std::array<FontSubstitute, 4> FontSubstitutes{{
    {"ＭＳ ゴシック", "IPAGothic", true},
    {"ＭＳ Ｐゴシック", "IPAPGothic", false},
    {"MS UI Gothic", "IPAPGothic", false},
    {"ＭＳ 明朝", "IPAMincho", true},
}};

TColor QColorToColor(const QColor& color) {
    return static_cast<TColor>(color.red()) | static_cast<TColor>(color.green()) << 8 |
           static_cast<TColor>(color.blue()) << 16;
}

} // namespace

TFont LayoutFont(const AnsiString& name, int height, TColor color) {
    QFont face(ToQString(name));
    for (const FontSubstitute& substitute : FontSubstitutes) {
        if (name == substitute.LayoutName) {
            face.setFamily(QString::fromLatin1(substitute.Family));
            if (substitute.FixedPitch) {
                // Where the face is missing, any fixed-pitch font of the same height stands in.
                face.setFixedPitch(true);
                face.setStyleHint(QFont::Monospace);
            }
        }
    }
    face.setPixelSize(height < 0 ? -height : height);
    return TFont{face, color};
}

TFont GetFont(const QWidget* control) {
    return TFont{control->font(), QColorToColor(control->palette().color(QPalette::WindowText))};
}

void SetFont(QWidget* control, const TFont& font) {
    control->setFont(font.Face);
    QPalette palette = control->palette();
    const QColor color = ColorToQColor(font.Color, control);
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    control->setPalette(palette);
}

void TCanvas::FillRect(const TRect& rect) {
    if (FPainter) {
        FPainter->fillRect(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top,
                           ColorToQColor(Brush.Color, FOwner));
    }
}

void TCanvas::TextOut(int x, int y, const AnsiString& text) {
    if (!FPainter || text.empty()) {
        return;
    }
    const QFontMetrics metrics(Font.Face);
    const QString qtext = ToQString(text);
    FPainter->fillRect(x, y, metrics.horizontalAdvance(qtext), metrics.height(), ColorToQColor(Brush.Color, FOwner));
    FPainter->setFont(Font.Face);
    FPainter->setPen(ColorToQColor(Font.Color, FOwner));
    FPainter->drawText(QPoint(x, y + metrics.ascent()), qtext);
}

int TCanvas::TextWidth(const AnsiString& text) const {
    return QFontMetrics(Font.Face).horizontalAdvance(ToQString(text));
}

// Like the cell height of a Windows font: the same for every text.
int TCanvas::TextHeight(const AnsiString&) const {
    return QFontMetrics(Font.Face).height();
}
