#pragma once

#include "platform/AnsiString.h"

#include <QFont>
#include <QColor>

#include <cstdint>

class QPainter;
class QWidget;

// Colours as the program writes them: 0x00BBGGRR, or a system colour with the high bit set.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clWindow = 0x80000005;
constexpr TColor clWindowText = 0x80000008;
constexpr TColor clHighlight = 0x8000000D;
constexpr TColor clHighlightText = 0x8000000E;
constexpr TColor clBtnHighlight = 0x80000014;
constexpr TColor clBtnShadow = 0x80000010;

// System colours come from the palette of the widget being painted.
QColor ColorToQColor(TColor color, const QWidget* widget);

// Rectangle in client pixels; Right and Bottom are exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TRect&) const = default;
};

// A font with its colour, as a layout or a canvas holds it.
struct TFont {
    QFont Face;
    TColor Color = clWindowText;
    bool operator==(const TFont&) const = default;
};

// The font faces the layouts name are not installed here: each maps to the nearest installed
// face of the same pitch, at the layout's character height (a negative height, in pixels).
TFont LayoutFont(const AnsiString& name, int height, TColor color);

// A control's font and text colour, kept in its QFont and palette.
TFont GetFont(const QWidget* control);
void SetFont(QWidget* control, const TFont& font);

struct TBrush {
    TColor Color = clWhite;
};

// The drawing surface handed to paint handlers; measures with its Font even when no
// painting is in progress.
class TCanvas {
public:
    explicit TCanvas(const QWidget* owner) : FOwner(owner) {}

    TFont Font;
    TBrush Brush;

    void FillRect(const TRect& rect);
    // Draws opaque: the text's cell in the brush colour, then the text in the font colour.
    void TextOut(int x, int y, const AnsiString& text);
    int TextWidth(const AnsiString& text) const;
    int TextHeight(const AnsiString& text) const;

    // The grid binds a painter for the duration of one paint event.
    void BeginPaint(QPainter* painter) { FPainter = painter; }
    void EndPaint() { FPainter = nullptr; }

private:
    const QWidget* FOwner;
    QPainter* FPainter = nullptr;
};
