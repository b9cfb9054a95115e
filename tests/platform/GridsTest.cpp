#include "platform/Grids.h"

#include "platform/InplaceEdit.h"
#include "platform/QtText.h"
#include "support/UserInput.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// A 4 × 30 grid whose events are written to a log, as "get 1,2 'text'", "set 1,2 'text'",
// "select 1,2", "down 10,20", "dbl"; the amount-like column 3 refuses selection.
class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        Grid = std::make_unique<TStringGrid>();
        Grid->resize(300, 200);
        Grid->SetColCount(4);
        Grid->SetRowCount(30);
        Grid->SetDefaultColWidth(60);
        Grid->SetDefaultRowHeight(18);
        Grid->Options |= goEditing | goColSizing;
        Grid->OnGetEditText = [this](TObject*, int c, int r, AnsiString& value) {
            Log.push_back("get " + Where(c, r) + " '" + value + "'");
            value = GetEditTextReplacement.value_or(value);
        };
        Grid->OnSetEditText = [this](TObject*, int c, int r, const AnsiString& value) {
            Log.push_back("set " + Where(c, r) + " '" + value + "'" + (Grid->EditorMode() ? "" : " hidden") +
                          (Grid->Cells[c][r] == value ? "" : " (cell differs)"));
        };
        Grid->OnSelectCell = [this](TObject*, int c, int r, bool& canSelect) {
            Log.push_back("select " + Where(c, r));
            canSelect = c != 3;
        };
        Grid->OnMouseDown = [this](TObject*, TMouseButton, TShiftState shift, int x, int y) {
            Log.push_back("down " + Where(x, y) + ((shift & ssDouble) ? " double" : "") + " at cell " +
                          Where(Grid->Col(), Grid->Row()));
        };
        Grid->OnDblClick = [this](TObject*) { Log.push_back("dbl"); };
        Grid->show();
        QApplication::setActiveWindow(Grid.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(Grid.get()));
        Grid->setFocus();
    }

    static AnsiString Where(int a, int b) { return std::to_string(a) + "," + std::to_string(b); }

    QPoint Center(int col, int row) const {
        const TRect rect = Grid->CellRect(col, row);
        return QPoint((rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2);
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    void Type(const char* text) { QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text)); }

    AnsiString Cell(int col, int row) const { return Grid->Cells[col][row]; }
    std::vector<AnsiString> TakeLog() { return std::exchange(Log, {}); }

    std::unique_ptr<TStringGrid> Grid;
    std::vector<AnsiString> Log;
    std::optional<AnsiString> GetEditTextReplacement;
};

using Events = std::vector<AnsiString>;

TEST_F(GridTest, EditorLoadShowsTheTextTheHandlerLeavesWithoutReportingIt) {
    Grid->Cells[1][1] = "abc";
    GetEditTextReplacement = "xyz";
    Key(Qt::Key_F2);
    EXPECT_EQ(TakeLog(), (Events{"get 1,1 'abc'"}));
    EXPECT_EQ(Grid->InplaceEditor()->text(), QStringLiteral("xyz"));
    EXPECT_EQ(Cell(1, 1), "abc");
}

TEST_F(GridTest, EveryChangeIsCopiedToTheCellAndReportedThenTheCloseRepeatsIt) {
    Key(Qt::Key_F2);
    TakeLog();
    Type("ab");
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Return);
    EXPECT_EQ(TakeLog(), (Events{"set 1,1 'a'", "set 1,1 'ab'", "set 1,1 'a'", "set 1,1 'a'"}));
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Cell(1, 1), "a");
}

TEST_F(GridTest, TypingACharacterStartsAnEditThatReplacesTheText) {
    Grid->Cells[1][1] = "old";
    Type("7");
    EXPECT_EQ(TakeLog(), (Events{"get 1,1 'old'", "set 1,1 '7'"}));
    EXPECT_TRUE(Grid->EditorMode());
}

TEST_F(GridTest, EnterOpensAndClosesTheEditorWithOneReport) {
    Key(Qt::Key_Return);
    EXPECT_TRUE(Grid->EditorMode());
    Key(Qt::Key_Return);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(TakeLog(), (Events{"get 1,1 ''", "set 1,1 ''"}));
}

TEST_F(GridTest, WritingTheEditedCellReloadsTheEditorWithoutAReport) {
    Key(Qt::Key_F2);
    Type("12");
    TakeLog();
    Grid->Cells[1][1] = "new";
    EXPECT_EQ(TakeLog(), (Events{"get 1,1 'new'"}));
    EXPECT_EQ(Grid->InplaceEditor()->text(), QStringLiteral("new"));
    Grid->Cells[2][1] = "other";
    EXPECT_EQ(TakeLog(), Events{});
}

TEST_F(GridTest, TheCloseReportComesBeforeTheEditorIsHiddenAndAWriteThenReloads) {
    AnsiString last;
    Grid->OnSetEditText = [this, &last](TObject*, int c, int r, const AnsiString& value) {
        Log.push_back("set '" + value + "'" + (Grid->EditorMode() ? "" : " hidden"));
        if (value == last) {
            Grid->Cells[c][r] = "0" + value; // a commit rewriting the cell under the closing editor
        }
        last = value;
    };
    Key(Qt::Key_F2);
    Type("5");
    Key(Qt::Key_Return);
    EXPECT_EQ(TakeLog(), (Events{"get 1,1 ''", "set '5'", "set '5'", "get 1,1 '05'"}));
    EXPECT_EQ(Cell(1, 1), "05");
    EXPECT_FALSE(Grid->EditorMode());
}

TEST_F(GridTest, ARefusedMoveLeavesTheCurrentCellAndTheEditor) {
    Grid->SetCol(2);
    Key(Qt::Key_F2);
    Type("9");
    TakeLog();
    Key(Qt::Key_Right);
    EXPECT_EQ(TakeLog(), (Events{"select 3,1"}));
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_TRUE(Grid->EditorMode());
    Grid->SetCol(3);
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_TRUE(Grid->EditorMode());
}

TEST_F(GridTest, TheEditorFollowsTheCurrentCell) {
    Key(Qt::Key_F2);
    Type("4");
    TakeLog();
    Key(Qt::Key_Down);
    EXPECT_EQ(TakeLog(), (Events{"select 1,2", "set 1,1 '4'", "get 1,2 ''"}));
    EXPECT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Grid->Row(), 2);
}

// The editor covers its cell, but never the grid's frame or scroll bars: a row cut off at the bottom of
// the view is edited in what is left of it, and a row scrolled away takes the editor out of sight.
TEST_F(GridTest, TheEditorCoversWhatIsInViewOfItsCell) {
    const auto viewed = [this](int col, int row) {
        const TRect cell = Grid->CellRect(col, row);
        return QRect(Grid->viewport()->pos() + QPoint(cell.Left, cell.Top),
                     QSize(cell.Right - cell.Left, cell.Bottom - cell.Top)) &
               Grid->viewport()->geometry();
    };
    Grid->SetRow(12);
    Key(Qt::Key_F2);
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Grid->InplaceEditor()->geometry(), viewed(1, 12));
    EXPECT_EQ(Grid->InplaceEditor()->height(), 18);

    // Row 12 becomes the one cut off at the bottom.
    Grid->verticalScrollBar()->setValue(12 - (Grid->viewport()->height() - 19) / 19 - Grid->FixedRows());
    const QRect cutOff = viewed(1, 12);
    ASSERT_FALSE(cutOff.isEmpty());
    ASSERT_LT(cutOff.height(), 18);
    EXPECT_EQ(Grid->InplaceEditor()->geometry(), cutOff);

    Grid->verticalScrollBar()->setValue(Grid->verticalScrollBar()->maximum());
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_FALSE(Grid->InplaceEditor()->geometry().intersects(Grid->viewport()->geometry()));
}

TEST_F(GridTest, KeysMoveTheCurrentCellWithinTheSelectableCells) {
    const struct {
        const char* Name;
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        int Col;
        int Row;
    } cases[] = {
        {"down", Qt::Key_Down, Qt::NoModifier, 1, 2},
        {"right", Qt::Key_Right, Qt::NoModifier, 2, 2},
        {"right into the refused column", Qt::Key_Right, Qt::NoModifier, 2, 2},
        {"ctrl+home", Qt::Key_Home, Qt::ControlModifier, 1, 1},
        {"up at the top stays", Qt::Key_Up, Qt::NoModifier, 1, 1},
        {"left never reaches the fixed column", Qt::Key_Left, Qt::NoModifier, 1, 1},
        {"end goes to the last column, which refuses", Qt::Key_End, Qt::NoModifier, 1, 1},
        {"ctrl+end refused too", Qt::Key_End, Qt::ControlModifier, 1, 1},
    };
    for (const auto& c : cases) {
        Key(c.Key, c.Modifiers);
        EXPECT_EQ(Grid->Col(), c.Col) << c.Name;
        EXPECT_EQ(Grid->Row(), c.Row) << c.Name;
    }
}

TEST_F(GridTest, PageDownAndPageUpMoveByTheRowsInView) {
    Key(Qt::Key_PageDown);
    const int page = Grid->Row() - 1;
    EXPECT_GT(page, 5);
    EXPECT_NE(Grid->CellRect(1, Grid->Row()), TRect{}) << "scrolled into view";
    Key(Qt::Key_PageDown);
    EXPECT_EQ(Grid->Row(), 1 + 2 * page);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(Grid->Row(), 1 + page);
}

TEST_F(GridTest, APressClosesTheEditorMovesAndThenReportsTheMouseDown) {
    Key(Qt::Key_F2);
    Type("8");
    TakeLog();
    const QPoint target = Center(2, 3);
    QTest::mouseClick(Grid->viewport(), Qt::LeftButton, Qt::NoModifier, target);
    EXPECT_EQ(TakeLog(),
              (Events{"set 1,1 '8'", "select 2,3", "down " + Where(target.x(), target.y()) + " at cell 2,3"}));
    EXPECT_FALSE(Grid->EditorMode());
}

TEST_F(GridTest, APressOnARefusedCellStillClosesTheEditor) {
    Key(Qt::Key_F2);
    Type("8");
    TakeLog();
    const QPoint target = Center(3, 1);
    QTest::mouseClick(Grid->viewport(), Qt::LeftButton, Qt::NoModifier, target);
    EXPECT_EQ(TakeLog(),
              (Events{"set 1,1 '8'", "select 3,1", "down " + Where(target.x(), target.y()) + " at cell 1,1"}));
}

TEST_F(GridTest, DoubleClickIsRaisedBeforeTheSecondPress) {
    const QPoint target = Center(0, 4);
    DoubleClick(Grid->viewport(), target);
    const AnsiString at = Where(target.x(), target.y());
    EXPECT_EQ(TakeLog(), (Events{"down " + at + " at cell 1,1", "dbl", "down " + at + " double at cell 1,1"}));
}

TEST_F(GridTest, ADoubleClickInTheEditorIsTheGridsDoubleClick) {
    Key(Qt::Key_F2);
    TakeLog();
    DoubleClick(Grid->InplaceEditor(), QPoint(3, 3));
    EXPECT_EQ(TakeLog(), (Events{"dbl"}));
    EXPECT_TRUE(Grid->EditorMode());
}

TEST_F(GridTest, MouseCoordMapsPointsToCellsAndMissesToMinusOne) {
    const TRect cell = Grid->CellRect(2, 3);
    EXPECT_EQ(Grid->MouseCoord(cell.Left, cell.Top), (TGridCoord{2, 3}));
    EXPECT_EQ(Grid->MouseCoord(cell.Right - 1, cell.Bottom - 1), (TGridCoord{2, 3}));
    EXPECT_EQ(Grid->MouseCoord(1, 1), (TGridCoord{0, 0}));
    const TRect last = Grid->CellRect(3, 1);
    EXPECT_EQ(Grid->MouseCoord(last.Right + 5, cell.Top), (TGridCoord{-1, -1}));
    EXPECT_EQ(Grid->MouseCoord(-1, 5), (TGridCoord{-1, -1}));
}

TEST_F(GridTest, EscapePutsBackTheTextTheCellHadWhenTheEditorOpened) {
    Grid->Cells[1][1] = "keep";
    Key(Qt::Key_F2);
    Type("xy");
    TakeLog();
    Key(Qt::Key_Escape);
    EXPECT_EQ(TakeLog(), Events{});
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Cell(1, 1), "keep");
}

TEST_F(GridTest, WheelAndScrollBarScrollTheRowsUnderTheFixedRow) {
    QWheelEvent wheel(QPointF(50, 50), Grid->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Grid->viewport(), &wheel);
    EXPECT_EQ(Grid->TopRow(), 4);
    EXPECT_EQ(Grid->MouseCoord(Center(1, 0).x(), Center(1, 0).y()), (TGridCoord{1, 0}));
    EXPECT_EQ(Grid->MouseCoord(Center(1, 4).x(), Center(1, 4).y()), (TGridCoord{1, 4}));
    EXPECT_EQ(Grid->CellRect(1, 1), TRect{});
    Grid->verticalScrollBar()->setValue(Grid->verticalScrollBar()->maximum());
    EXPECT_EQ(Grid->CellRect(1, 29).Bottom <= Grid->viewport()->height(), true);
    EXPECT_EQ(Grid->Row(), 1) << "scrolling does not move the current cell";
}

TEST_F(GridTest, MovingTheCurrentCellOutOfViewScrollsIt) {
    Grid->SetRow(25);
    EXPECT_NE(Grid->CellRect(1, 25), TRect{});
    EXPECT_GT(Grid->TopRow(), 1);
}

TEST_F(GridTest, DraggingAHeaderLineWidensTheColumn) {
    const TRect header = Grid->CellRect(1, 0);
    const QPoint line(header.Right, (header.Top + header.Bottom) / 2);
    QTest::mousePress(Grid->viewport(), Qt::LeftButton, Qt::NoModifier, line);
    QMouseEvent move(QEvent::MouseMove, QPointF(line + QPoint(25, 0)),
                     Grid->viewport()->mapToGlobal(QPointF(line + QPoint(25, 0))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(Grid->viewport(), &move);
    QTest::mouseRelease(Grid->viewport(), Qt::LeftButton, Qt::NoModifier, line + QPoint(25, 0));
    EXPECT_EQ(Grid->ColWidths(1), 85);
    EXPECT_EQ(Grid->ColWidths(2), 60);
}

TEST_F(GridTest, TabEndsTheEditAndLeavesTheGrid) {
    QWidget window;
    Grid->setParent(&window);
    auto* next = new QLineEdit(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    Grid->setFocus();
    Key(Qt::Key_F2);
    Type("3");
    TakeLog();
    Key(Qt::Key_Tab);
    EXPECT_EQ(TakeLog(), (Events{"set 1,1 '3'"}));
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(QApplication::focusWidget(), next);
    Grid->setParent(nullptr);
}

struct DrawnCell {
    TGridDrawState State;
    TColor Brush;
    TColor FontColor;
    bool operator==(const DrawnCell&) const = default;
};

TEST_F(GridTest, RepaintPreparesTheCanvasForEachCellBeforeTheHandler) {
    std::map<std::pair<int, int>, DrawnCell> drawn;
    Grid->OnDrawCell = [&](TObject*, int c, int r, TRect, TGridDrawState state) {
        drawn[{c, r}] = DrawnCell{state, Grid->Canvas->Brush.Color, Grid->Canvas->Font.Color};
    };
    const TColor text = Grid->Font().Color;
    Grid->Repaint();
    EXPECT_EQ(drawn.at({1, 1}), (DrawnCell{gdSelected | gdFocused, clWindow, text})) << "current cell, focused";
    EXPECT_EQ(drawn.at({2, 2}), (DrawnCell{0, clWindow, text}));
    EXPECT_EQ(drawn.at({0, 2}), (DrawnCell{gdFixed, clBtnFace, text}));
    EXPECT_EQ(drawn.at({2, 0}), (DrawnCell{gdFixed, clBtnFace, text}));

    drawn.clear();
    Grid->clearFocus();
    Grid->Repaint();
    EXPECT_EQ(drawn.at({1, 1}), (DrawnCell{gdSelected, clHighlight, clHighlightText})) << "current cell, not focused";

    drawn.clear();
    Grid->setFocus();
    Key(Qt::Key_F2);
    Grid->Repaint();
    EXPECT_FALSE(drawn.contains({1, 1})) << "the cell under the editor is not painted";
    EXPECT_TRUE(drawn.contains({2, 1}));
}

} // namespace
