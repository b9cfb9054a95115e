#include "support/SheetFixture.h"

#include "platform/InplaceEdit.h"
#include "platform/QtText.h"
#include "platform/SysUtils.h"
#include "support/UserInput.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

namespace {

using FieldTexts = std::array<AnsiString, 4>;

TEST_F(SheetTest, StartsWithHeadersLabelsAndEmptyCellsAndFields) {
    EXPECT_EQ(Grid()->ColCount(), 4);
    EXPECT_EQ(Grid()->RowCount(), 101);
    EXPECT_EQ(Cell(0, 0), "");
    EXPECT_EQ(Cell(1, 0), "単価");
    EXPECT_EQ(Cell(2, 0), "数量");
    EXPECT_EQ(Cell(3, 0), "金額");
    EXPECT_EQ(Cell(0, 1), "1");
    EXPECT_EQ(Cell(0, 100), "100");
    EXPECT_EQ(Cell(1, 50), "");
    EXPECT_EQ(Fields(), (FieldTexts{"", "", "", ""}));
}

// State: row 3 empty, rate 0.05. Action: quantity 3, then unit price 1200, each closed with Enter.
// Expected: the amount 3600 and the fields 3,600 / 180 / 3,780 with an empty subtotal.
TEST_F(SheetTest, TypicalEditOfRowThreeFillsAmountAndTotals) {
    Enter(1, 3, QStringLiteral("1200"));
    EXPECT_EQ(Cell(1, 3), "1200");
    EXPECT_EQ(Cell(3, 3), "");
    EXPECT_EQ(Fields(), (FieldTexts{"", "", "", ""}));

    Enter(2, 3, QStringLiteral("3"));
    EXPECT_EQ(Cell(3, 3), "3600");
    EXPECT_EQ(Fields(), (FieldTexts{"3,600", "180", "3,780", ""}));
}

TEST_F(SheetTest, UnitPriceEntriesAreStoredAsCanonicalText) {
    const struct {
        const char* Typed;
        const char* Stored;
    } cases[] = {
        {" 0012", "12"},     {"+5", "5"},  {"-5", "-5"},  {"x1F", "31"},      {"$ff", "255"},
        {"0x10", "16"},      {"0", ""},    {"1,200", ""}, {"12.5", ""},       {"12 ", ""},
        {"- 5", ""},         {"１２", ""}, {"abc", ""},   {"2147483648", ""}, {"-2147483648", "-2147483648"},
        {"$FFFFFFFF", "-1"},
    };
    int row = 1;
    for (const auto& c : cases) {
        Enter(1, row, QString::fromUtf8(c.Typed));
        EXPECT_EQ(Cell(1, row), c.Stored) << "typed '" << c.Typed << "'";
        ++row;
    }
}

TEST_F(SheetTest, AmountIsTheExactProductOfPriceAndQuantity) {
    const struct {
        const char* Price;
        const char* Quantity;
        const char* Amount;
    } cases[] = {
        {"100000", "100000", "10000000000"},
        {"-2147483648", "-2147483648", "4611686018427387904"},
        {"2147483647", "-2147483648", "-4611686016279904256"},
        {"250", "-4", "-1000"},
        {"250", "0", ""},
    };
    int row = 1;
    for (const auto& c : cases) {
        Enter(1, row, QString::fromLatin1(c.Price));
        Enter(2, row, QString::fromLatin1(c.Quantity));
        EXPECT_EQ(Cell(3, row), c.Amount) << c.Price << " x " << c.Quantity;
        ++row;
    }
}

TEST_F(SheetTest, PriceOfOneHundredThousandTimesAsManyTotalsTenBillion) {
    Enter(1, 1, QStringLiteral("100000"));
    Enter(2, 1, QStringLiteral("100000"));
    EXPECT_EQ(Cell(3, 1), "10000000000");
    EXPECT_EQ(Form->EdtGokei->text(), QStringLiteral("10,000,000,000"));
}

// State: both input cells hold text the program wrote without normalising it.
// Action: a commit in one column. Expected: both columns are rewritten in canonical form.
TEST_F(SheetTest, CommitInEitherColumnNormalisesBothInputCells) {
    for (int editedCol : {1, 2}) {
        const int row = editedCol + 5;
        Grid()->Cells[1][row] = "007";
        Grid()->Cells[2][row] = "$a";
        Enter(editedCol, row, editedCol == 1 ? QStringLiteral("8") : QStringLiteral("10"));
        const AnsiString other = Cell(editedCol == 1 ? 2 : 1, row);
        EXPECT_EQ(other, editedCol == 1 ? "10" : "7") << "commit in column " << editedCol;
        EXPECT_EQ(Cell(3, row), editedCol == 1 ? "80" : "70") << "commit in column " << editedCol;
    }
}

TEST_F(SheetTest, EditorOpenedAndClosedUnchangedCommitsNothing) {
    Grid()->Cells[1][2] = "007";
    Grid()->Cells[2][2] = "2";
    ClickCell(1, 2);
    for (Qt::Key open : {Qt::Key_F2, Qt::Key_Return}) {
        Press(open);
        ASSERT_TRUE(Grid()->EditorMode());
        Press(Qt::Key_Return);
        ASSERT_FALSE(Grid()->EditorMode());
        EXPECT_EQ(Cell(1, 2), "007");
        EXPECT_EQ(Cell(3, 2), "");
        EXPECT_EQ(Fields(), (FieldTexts{"", "", "", ""}));
    }
}

TEST_F(SheetTest, TypingOverASelectionWithTheSameTextCommitsAtOnce) {
    Grid()->Cells[1][4] = "12";
    Grid()->Cells[2][4] = "3";
    ClickCell(1, 4);
    Press(Qt::Key_Return); // opens with the text selected
    QApplication::clipboard()->setText(QStringLiteral("12"));
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(Grid()->EditorMode());
    EXPECT_EQ(Cell(3, 4), "36");
}

TEST_F(SheetTest, ClickingAnAmountCellWhileEditingCommitsWithoutMoving) {
    Grid()->Cells[2][2] = "2";
    ClickCell(1, 2);
    Type(QStringLiteral("12"));
    ASSERT_TRUE(Grid()->EditorMode());
    ClickCell(3, 2);
    EXPECT_FALSE(Grid()->EditorMode());
    EXPECT_EQ(Cell(3, 2), "24");
    EXPECT_EQ(Grid()->Col(), 1);
    EXPECT_EQ(Grid()->Row(), 2);
    EXPECT_EQ(Form->EdtGokei->text(), QStringLiteral("24"));
}

TEST_F(SheetTest, MovingIntoTheAmountColumnByKeyboardKeepsTheEditOpen) {
    Grid()->Cells[1][2] = "4";
    ClickCell(2, 2);
    Type(QStringLiteral("5"));
    Press(Qt::Key_Right);
    EXPECT_TRUE(Grid()->EditorMode());
    EXPECT_EQ(Grid()->Col(), 2);
    EXPECT_EQ(Cell(3, 2), "");
    Press(Qt::Key_End);
    EXPECT_EQ(Grid()->Col(), 2);
    Press(Qt::Key_Return);
    EXPECT_EQ(Cell(3, 2), "20");
}

TEST_F(SheetTest, MovingTheCurrentCellWhileEditingCommitsTheRowLeft) {
    Grid()->Cells[2][6] = "3";
    ClickCell(1, 6);
    Type(QStringLiteral("7"));
    Press(Qt::Key_Down);
    EXPECT_EQ(Cell(3, 6), "21");
    EXPECT_EQ(Grid()->Row(), 7);
    EXPECT_TRUE(Grid()->EditorMode()) << "the editor follows the current cell";
}

TEST_F(SheetTest, EscapeAbandonsTheEditAndRestoresTheCell) {
    Enter(1, 5, QStringLiteral("12"));
    ClickCell(1, 5);
    Press(Qt::Key_F2);
    Type(QStringLiteral("34"));
    EXPECT_EQ(Cell(1, 5), "1234") << "the grid copies every change into the cell";
    Press(Qt::Key_Escape);
    EXPECT_FALSE(Grid()->EditorMode());
    EXPECT_EQ(Cell(1, 5), "12");
    Press(Qt::Key_Return);
    Press(Qt::Key_Return);
    EXPECT_EQ(Cell(1, 5), "12");
}

TEST_F(SheetTest, LeavingTheGridForAnotherControlCommits) {
    Grid()->Cells[2][3] = "2";
    ClickCell(1, 3);
    Type(QStringLiteral("9"));
    QTest::mouseClick(Form->EdtGokei, Qt::LeftButton);
    EXPECT_FALSE(Grid()->EditorMode());
    EXPECT_EQ(Cell(3, 3), "18");
}

// State: row 5 unmarked with an amount. Action: double-click its label twice.
// Expected: '* 5' with the subtotal, then '5' again without it.
TEST_F(SheetTest, DoubleClickingALabelTogglesTheMark) {
    Enter(1, 5, QStringLiteral("100"));
    Enter(2, 5, QStringLiteral("2"));
    DoubleClickCell(0, 5);
    EXPECT_EQ(Cell(0, 5), "* 5");
    EXPECT_EQ(Fields(), (FieldTexts{"200", "10", "210", "200"}));
    DoubleClickCell(0, 5);
    EXPECT_EQ(Cell(0, 5), "5");
    EXPECT_EQ(Fields(), (FieldTexts{"200", "10", "210", ""}));
}

TEST_F(SheetTest, DoubleClickingElsewhereChangesNoLabelButRecalculates) {
    const struct {
        const char* Name;
        QPoint Where;
    } places[] = {
        {"header row", CellCenter(1, 0)},
        {"top-left corner", CellCenter(0, 0)},
        {"data cell", CellCenter(2, 4)},
        {"amount cell", CellCenter(3, 4)},
        {"empty area right of the columns", QPoint(Grid()->viewport()->width() - 3, CellCenter(1, 4).y())},
    };
    for (const auto& place : places) {
        Grid()->Cells[3][4] = "100"; // written without a recalculation
        Form->EdtGokei->clear();
        DoubleClick(Grid()->viewport(), place.Where);
        for (int r = 1; r < Grid()->RowCount(); ++r) {
            ASSERT_EQ(Cell(0, r), IntToStr(r)) << place.Name;
        }
        EXPECT_EQ(Form->EdtGokei->text(), QStringLiteral("100")) << place.Name;
    }
}

TEST_F(SheetTest, DoubleClickInsideTheEditorTogglesTheLabelOfTheLastPressOnTheGrid) {
    ClickCell(0, 7); // a single press on a label: recorded, no toggle
    EXPECT_EQ(Cell(0, 7), "7");
    Press(Qt::Key_F2);
    ASSERT_TRUE(Grid()->EditorMode());
    DoubleClick(Grid()->InplaceEditor(), QPoint(5, 5));
    EXPECT_EQ(Cell(0, 7), "* 7");
    EXPECT_TRUE(Grid()->EditorMode());
}

TEST_F(SheetTest, ClearMarksUnmarksEveryRowAndKeepsTheNumbers) {
    Enter(1, 2, QStringLiteral("10"));
    Enter(2, 2, QStringLiteral("3"));
    DoubleClickCell(0, 2);
    DoubleClickCell(0, 4);
    ASSERT_EQ(Form->EdtSyokei->text(), QStringLiteral("30"));
    Form->ClearMarks();
    EXPECT_EQ(Cell(0, 2), "2");
    EXPECT_EQ(Cell(0, 4), "4");
    EXPECT_EQ(Cell(3, 2), "30");
    EXPECT_EQ(Fields(), (FieldTexts{"30", "1.5", "31.5", ""}));
}

TEST_F(SheetTest, ClearMarksWithNoMarkStillRecalculates) {
    Grid()->Cells[3][9] = "5"; // written without a recalculation
    Form->ClearMarks();
    EXPECT_EQ(Form->EdtGokei->text(), QStringLiteral("5"));
}

// State: rows filled, a mark set, an editor open on row 5 with uncommitted text.
// Action: ClearSheet. Expected: everything empty, current cell (1,1), the text never committed.
TEST_F(SheetTest, ClearSheetWithAnEditorOpenNeverCommitsItsText) {
    Enter(1, 2, QStringLiteral("10"));
    Enter(2, 2, QStringLiteral("3"));
    DoubleClickCell(0, 2);
    Grid()->Cells[1][5] = "4";
    ClickCell(2, 5);
    Type(QStringLiteral("99"));
    ASSERT_TRUE(Grid()->EditorMode());

    Form->ClearSheet();

    for (int r = 1; r < Grid()->RowCount(); ++r) {
        ASSERT_EQ(Cell(0, r), IntToStr(r));
        for (int c = 1; c < Grid()->ColCount(); ++c) {
            ASSERT_EQ(Cell(c, r), "") << c << "," << r;
        }
    }
    EXPECT_EQ(Grid()->Col(), 1);
    EXPECT_EQ(Grid()->Row(), 1);
    EXPECT_EQ(Fields(), (FieldTexts{"", "", "", ""}));
    Press(Qt::Key_Return);
    EXPECT_EQ(Cell(2, 5), "");
    EXPECT_EQ(Cell(3, 5), "");
    EXPECT_EQ(Fields(), (FieldTexts{"", "", "", ""}));
}

TEST_F(SheetTest, PastingAHugeOrForeignTextCommitsAsAnEmptyCell) {
    const QString texts[] = {
        QString(1 << 20, QLatin1Char('9')), QString::fromUtf8("漢字とカタカナ"), QString::fromUtf8("مرحبا"),
        QString::fromUtf8("😀12"),           QString(1 << 20, QChar(0x3042)),
    };
    Grid()->Cells[2][8] = "3";
    for (const QString& text : texts) {
        ClickCell(1, 8);
        Press(Qt::Key_F2);
        QApplication::clipboard()->setText(text);
        Press(Qt::Key_V, Qt::ControlModifier);
        Press(Qt::Key_Return);
        EXPECT_EQ(Cell(1, 8), "") << text.left(8).toStdString();
        EXPECT_EQ(Cell(3, 8), "");
    }
}

TEST_F(SheetTest, TypingAJapaneseCompositionStartsAnEdit) {
    ClickCell(1, 9);
    QInputMethodEvent composition(QString(), {});
    composition.setCommitString(QStringLiteral("１"));
    QApplication::sendEvent(QApplication::focusWidget(), &composition);
    ASSERT_TRUE(Grid()->EditorMode());
    EXPECT_EQ(Cell(1, 9), "１");
    Press(Qt::Key_Return);
    EXPECT_EQ(Cell(1, 9), "");
}

} // namespace
