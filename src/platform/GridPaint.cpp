#include "platform/Grids.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPen>

namespace {

constexpr TColor FixedLineColor = clBlack;
constexpr TColor LineColor = 0xC0C0C0;

// A line one logical pixel wide over the pixels from (x1, y1) to (x2, y2). Drawn through pixel centres,
// it covers exactly those pixels at any scale; on pixel edges it would spill half into the neighbours
// on a scaled screen, and there be left behind when a cell alone is repainted.
void PixelLine(QPainter& painter, int x1, int y1, int x2, int y2) {
    painter.drawLine(QPointF(x1 + 0.5, y1 + 0.5), QPointF(x2 + 0.5, y2 + 0.5));
}

} // namespace

void TStringGrid::PaintCell(QPainter& painter, int col, int row, const TRect& rect) {
    if (FEditorShown && col == FEditCol && row == FEditRow) {
        return; // the editor covers it
    }
    const bool fixed = col < FFixedCols || row < FFixedRows;
    const bool selected = !fixed && col == FCol && row == FRow;
    const bool focused = selected && IsFocused();
    const TGridDrawState state = (selected ? gdSelected : 0u) | (focused ? gdFocused : 0u) | (fixed ? gdFixed : 0u);

    Canvas->Font = Font();
    Canvas->Brush.Color = fixed ? clBtnFace : clWindow;
    if (selected && !focused) {
        Canvas->Brush.Color = clHighlight;
        Canvas->Font.Color = clHighlightText;
    }
    Canvas->FillRect(rect);
    painter.save();
    painter.setClipRect(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
    Canvas->TextOut(rect.Left + 2, rect.Top + 2, CellText(col, row));
    painter.restore();

    if (OnDrawCell) {
        OnDrawCell(this, col, row, rect, state);
    }

    if (fixed) {
        painter.setPen(ColorToQColor(clBtnHighlight, this));
        PixelLine(painter, rect.Left, rect.Top, rect.Right - 1, rect.Top);
        PixelLine(painter, rect.Left, rect.Top, rect.Left, rect.Bottom - 1);
        painter.setPen(ColorToQColor(clBtnShadow, this));
        PixelLine(painter, rect.Left, rect.Bottom - 1, rect.Right - 1, rect.Bottom - 1);
        PixelLine(painter, rect.Right - 1, rect.Top, rect.Right - 1, rect.Bottom - 1);
    }
    if (focused) {
        painter.setPen(QPen(ColorToQColor(clWindowText, this), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(
            QRectF(rect.Left + 0.5, rect.Top + 0.5, rect.Right - rect.Left - 1, rect.Bottom - rect.Top - 1));
    }
}

void TStringGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    Canvas->BeginPaint(&painter);
    const QRect dirty = event->rect();
    const std::vector<int> cols = ColumnsInView();
    const std::vector<int> rows = RowsInView();

    for (int row : rows) {
        for (int col : cols) {
            const TRect rect = CellRect(col, row);
            if (dirty.intersects(QRect(rect.Left, rect.Top, rect.Right - rect.Left + GridLineWidth,
                                       rect.Bottom - rect.Top + GridLineWidth))) {
                PaintCell(painter, col, row, rect);
            }
        }
    }

    // Grid lines: right of every column and below every row, fixed ones darker.
    const int gridBottom = rows.empty() ? 0 : RowY(rows.back()) + FDefaultRowHeight + GridLineWidth;
    const int gridRight = cols.empty() ? 0 : ColumnX(cols.back()) + ColWidths(cols.back()) + GridLineWidth;
    for (int col : cols) {
        const bool fixedCol = col < FFixedCols;
        if (Options & (fixedCol ? goFixedVertLine : goVertLine)) {
            const int x = ColumnX(col) + ColWidths(col);
            painter.setPen(ColorToQColor(fixedCol ? FixedLineColor : LineColor, this));
            PixelLine(painter, x, 0, x, gridBottom - 1);
        }
    }
    for (int row : rows) {
        const bool fixedRow = row < FFixedRows;
        if (Options & (fixedRow ? goFixedHorzLine : goHorzLine)) {
            const int y = RowY(row) + FDefaultRowHeight;
            painter.setPen(ColorToQColor(fixedRow ? FixedLineColor : LineColor, this));
            PixelLine(painter, 0, y, gridRight - 1, y);
        }
    }
    Canvas->EndPaint();
}
