#include "support/SheetFixture.h"

#include "platform/Graphics.h"

#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>

namespace {

class SheetPaintTest : public SheetTest {
protected:
    QImage Shot() const { return Grid()->viewport()->grab().toImage(); }

    // A pixel inside the cell, away from its text and the focus rectangle.
    static QColor Background(const QImage& image, const TRect& rect) {
        return image.pixelColor(rect.Left + 3, rect.Bottom - 2);
    }

    // The columns of the cell in which some pixel differs from the background.
    static std::pair<int, int> InkSpan(const QImage& image, const TRect& rect, const QColor& background) {
        int first = -1;
        int last = -1;
        for (int x = rect.Left; x < rect.Right; ++x) {
            for (int y = rect.Top + 1; y < rect.Bottom - 1; ++y) {
                if (image.pixelColor(x, y) != background) {
                    first = first < 0 ? x : first;
                    last = x;
                    break;
                }
            }
        }
        return {first, last};
    }
};

TEST_F(SheetPaintTest, RowHeightIsTheHeightOfAPlusFour) {
    const QFontMetrics metrics(Grid()->Font().Face);
    EXPECT_EQ(Grid()->DefaultRowHeight(), metrics.height() + 4);
    EXPECT_EQ(Grid()->Font().Face.pixelSize(), 12);
    EXPECT_TRUE(Grid()->Font().Face.fixedPitch());
}

TEST_F(SheetPaintTest, DataCellsAreYellowWhenMarkedElseAquaForAmountsAndWhiteForInput) {
    Grid()->Cells[0][3] = "* 3";
    ClickCell(1, 1); // keep the current cell away from the rows looked at
    const QImage image = Shot();
    const QColor yellow(255, 255, 0);
    const QColor aqua(0, 255, 255);
    const QColor white(255, 255, 255);
    for (int col = 1; col <= 3; ++col) {
        EXPECT_EQ(Background(image, Grid()->CellRect(col, 3)), yellow) << "marked row, column " << col;
    }
    EXPECT_EQ(Background(image, Grid()->CellRect(1, 2)), white);
    EXPECT_EQ(Background(image, Grid()->CellRect(2, 2)), white);
    EXPECT_EQ(Background(image, Grid()->CellRect(3, 2)), aqua);
    EXPECT_EQ(Background(image, Grid()->CellRect(0, 2)), ColorToQColor(clBtnFace, Grid()));
}

TEST_F(SheetPaintTest, NumbersAreGroupedAndEndAtTheCellsRightEdge) {
    Grid()->Cells[3][4] = "1234567";
    Grid()->Cells[1][4] = "-1234";
    ClickCell(1, 1);
    const QImage image = Shot();
    for (const auto& [col, text] : {std::pair{3, "1,234,567"}, std::pair{1, "-1,234"}}) {
        const TRect rect = Grid()->CellRect(col, 4);
        const auto [first, last] = InkSpan(image, rect, Background(image, rect));
        const int width = QFontMetrics(Grid()->Font().Face).horizontalAdvance(QString::fromLatin1(text));
        EXPECT_GE(last, rect.Right - 3) << text;
        EXPECT_GE(first, rect.Right - width) << text;
        EXPECT_LE(first, rect.Right - width + 2) << text;
    }
}

TEST_F(SheetPaintTest, RowLabelsAreRightAlignedAndHeadersLeftAligned) {
    const QImage image = Shot();
    const QColor face = ColorToQColor(clBtnFace, Grid());
    const TRect label = Grid()->CellRect(0, 5);
    const auto [labelFirst, labelLast] =
        InkSpan(image, TRect{label.Left + 1, label.Top, label.Right - 1, label.Bottom}, face);
    EXPECT_GT(labelFirst, label.Left + (label.Right - label.Left) / 2);
    EXPECT_GE(labelLast, label.Right - 4);
    const TRect header = Grid()->CellRect(1, 0);
    const auto [headerFirst, headerLast] =
        InkSpan(image, TRect{header.Left + 1, header.Top, header.Right - 1, header.Bottom}, face);
    EXPECT_LE(headerFirst, header.Left + 4);
    EXPECT_LT(headerLast, header.Left + (header.Right - header.Left) / 2);
    const TRect corner = Grid()->CellRect(0, 0);
    EXPECT_EQ(InkSpan(image, TRect{corner.Left + 1, corner.Top + 1, corner.Right - 1, corner.Bottom - 1}, face).first,
              -1);
}

TEST_F(SheetPaintTest, CurrentCellKeepsItsColourWhenTheGridIsNotFocused) {
    ClickCell(2, 6);
    Form->EdtGokei->setFocus();
    const QImage image = Shot();
    EXPECT_EQ(Background(image, Grid()->CellRect(2, 6)), QColor(255, 255, 255));
}

} // namespace
