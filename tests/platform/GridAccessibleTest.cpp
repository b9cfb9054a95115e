#include "platform/GridAccessible.h"
#include "platform/Grids.h"
#include "platform/InplaceEdit.h"
#include "support/AccessibilityProbe.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A 4 × 30 grid with headers A, B, C over the data columns and the row numbers as labels; its owner shows
// data cells in brackets, so what a reader hears is the shown text, not the stored one. Beside it, a line
// edit to take the focus away.
class GridAccessibleTest : public ::testing::Test {
protected:
    void SetUp() override {
        Window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(Window.get());
        Grid = new TStringGrid;
        Grid->setFixedSize(300, 200);
        Other = new QLineEdit;
        layout->addWidget(Grid);
        layout->addWidget(Other);
        Grid->SetColCount(4);
        Grid->SetRowCount(30);
        Grid->SetDefaultColWidth(60);
        Grid->SetDefaultRowHeight(18);
        Grid->Options |= goEditing;
        const char* headers[] = {"", "A", "B", "C"};
        for (int c = 0; c < 4; ++c) {
            Grid->Cells[c][0] = headers[c];
        }
        for (int r = 1; r < 30; ++r) {
            Grid->Cells[0][r] = std::to_string(r);
        }
        Grid->OnGetDisplayText = [this](TObject*, int c, int r, AnsiString& value) {
            if (c >= Grid->FixedCols() && r >= Grid->FixedRows()) {
                value = "[" + value + "]";
            }
        };
        Window->show();
        QApplication::setActiveWindow(Window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
        Grid->setFocus();
    }

    QAccessibleInterface* Table() const { return QAccessible::queryAccessibleInterface(Grid); }
    QAccessibleTableInterface* Cells() const { return Table()->tableInterface(); }
    QAccessibleInterface* Child(int col, int row) const { return Table()->child(row * Grid->ColCount() + col); }

    std::unique_ptr<QWidget> Window;
    TStringGrid* Grid = nullptr;
    QLineEdit* Other = nullptr;
};

TEST_F(GridAccessibleTest, IsATableOfTheDataCellsWithTheFixedOnesAsHeaders) {
    ASSERT_NE(Cells(), nullptr);
    EXPECT_EQ(Table()->role(), QAccessible::Table);
    EXPECT_EQ(Cells()->rowCount(), 29);
    EXPECT_EQ(Cells()->columnCount(), 3);
    EXPECT_EQ(Cells()->columnDescription(0), QStringLiteral("A"));
    EXPECT_EQ(Cells()->columnDescription(2), QStringLiteral("C"));
    EXPECT_EQ(Cells()->rowDescription(0), QStringLiteral("1"));
    EXPECT_EQ(Cells()->rowDescription(28), QStringLiteral("29"));

    Grid->Cells[2][5] = "x";
    QAccessibleInterface* cell = Cells()->cellAt(4, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->role(), QAccessible::Cell);
    EXPECT_EQ(AccessibleName(cell), QStringLiteral("[x]"));
    EXPECT_EQ(cell, Child(2, 5));
    QAccessibleTableCellInterface* position = cell->tableCellInterface();
    ASSERT_NE(position, nullptr);
    EXPECT_EQ(position->rowIndex(), 4);
    EXPECT_EQ(position->columnIndex(), 1);
    EXPECT_EQ(position->table(), Table());

    const QList<QAccessibleInterface*> columnHeaders = position->columnHeaderCells();
    ASSERT_EQ(columnHeaders.size(), 1);
    EXPECT_EQ(columnHeaders[0], Child(2, 0));
    EXPECT_EQ(columnHeaders[0]->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(AccessibleName(columnHeaders[0]), QStringLiteral("B"));
    EXPECT_EQ(columnHeaders[0]->tableCellInterface(), nullptr);
    const QList<QAccessibleInterface*> rowHeaders = position->rowHeaderCells();
    ASSERT_EQ(rowHeaders.size(), 1);
    EXPECT_EQ(rowHeaders[0]->role(), QAccessible::RowHeader);
    EXPECT_EQ(AccessibleName(rowHeaders[0]), QStringLiteral("5"));

    for (const auto& [row, col] : {std::pair{29, 0}, {0, 3}, {-1, 0}, {0, -1}}) {
        EXPECT_EQ(Cells()->cellAt(row, col), nullptr) << row << "," << col;
    }
}

TEST_F(GridAccessibleTest, EveryCellIsAChildByItsIndexAndStaysTheSameObject) {
    const int cells = 4 * 30;
    EXPECT_EQ(Table()->childCount(), cells);
    for (int index : {0, 1, 4, 5, 57, cells - 1}) {
        QAccessibleInterface* child = Table()->child(index);
        ASSERT_NE(child, nullptr) << index;
        EXPECT_EQ(Table()->child(index), child) << index;
        EXPECT_EQ(Table()->indexOfChild(child), index);
        EXPECT_EQ(child->parent(), Table());
    }
    EXPECT_EQ(Table()->child(cells), nullptr);
    EXPECT_EQ(Table()->child(-1), nullptr);

    TStringGrid stranger;
    EXPECT_EQ(Table()->indexOfChild(QAccessible::queryAccessibleInterface(&stranger)->child(5)), -1);
}

TEST_F(GridAccessibleTest, CellsGoWithTheirGrid) {
    auto grid = std::make_unique<TStringGrid>();
    QAccessibleInterface* cell = QAccessible::queryAccessibleInterface(grid.get())->child(6);
    const QAccessible::Id id = QAccessible::uniqueId(cell);
    grid->SetRowCount(1);
    EXPECT_FALSE(cell->isValid()); // the grid lost its row
    EXPECT_TRUE(cell->state().invalid);
    grid.reset();
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
}

TEST_F(GridAccessibleTest, StatesFollowTheCurrentCellTheFocusAndTheOptions) {
    const struct {
        int Col, Row;
        bool Focusable, Focused, Selected, Editable;
    } cases[] = {
        {1, 1, true, true, true, true},     // the current cell of the focused grid
        {2, 1, true, false, false, true},   // another data cell
        {0, 1, false, false, false, false}, // a row label
        {1, 0, false, false, false, false}, // a header
    };
    for (const auto& c : cases) {
        const QAccessible::State state = Child(c.Col, c.Row)->state();
        EXPECT_EQ(bool(state.focusable), c.Focusable) << c.Col << "," << c.Row;
        EXPECT_EQ(bool(state.focused), c.Focused) << c.Col << "," << c.Row;
        EXPECT_EQ(bool(state.selected), c.Selected) << c.Col << "," << c.Row;
        EXPECT_EQ(bool(state.editable), c.Editable) << c.Col << "," << c.Row;
    }
    EXPECT_EQ(Table()->focusChild(), Child(1, 1));

    Other->setFocus();
    EXPECT_FALSE(Child(1, 1)->state().focused);
    EXPECT_TRUE(Child(1, 1)->state().selected);
    EXPECT_EQ(Table()->focusChild(), nullptr);

    Grid->Options &= ~goEditing;
    EXPECT_FALSE(Child(2, 1)->state().editable);
}

TEST_F(GridAccessibleTest, ACellIsWhereItIsDrawnOrOffScreen) {
    const TRect drawn = Grid->CellRect(2, 3);
    const QRect expected(Grid->viewport()->mapToGlobal(QPoint(drawn.Left, drawn.Top)),
                         QSize(drawn.Right - drawn.Left, drawn.Bottom - drawn.Top));
    EXPECT_EQ(Child(2, 3)->rect(), expected);
    EXPECT_FALSE(Child(2, 3)->state().offscreen);
    EXPECT_EQ(Table()->childAt(expected.center().x(), expected.center().y()), Child(2, 3));

    ASSERT_EQ(Grid->CellRect(2, 29).Right, Grid->CellRect(2, 29).Left); // below the rows in view
    EXPECT_TRUE(Child(2, 29)->rect().isEmpty());
    EXPECT_TRUE(Child(2, 29)->state().offscreen);
    EXPECT_TRUE(Child(2, 29)->state().invisible);
}

TEST_F(GridAccessibleTest, TheOpenEditorIsTheLastChildAndHasTheFocus) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(Grid->EditorMode());
    QAccessibleInterface* editor = QAccessible::queryAccessibleInterface(Grid->InplaceEditor());
    EXPECT_EQ(Table()->childCount(), 4 * 30 + 1);
    EXPECT_EQ(Table()->child(4 * 30), editor);
    EXPECT_EQ(Table()->indexOfChild(editor), 4 * 30);
    EXPECT_EQ(Table()->focusChild(), editor);
    EXPECT_EQ(editor->parent(), Table());
    EXPECT_EQ(editor->role(), QAccessible::EditableText);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Table()->childCount(), 4 * 30);
    EXPECT_EQ(Table()->indexOfChild(editor), -1);
    EXPECT_EQ(Table()->focusChild(), Child(1, 1));
}

TEST_F(GridAccessibleTest, AReaderHearsTheCurrentCellMoveAndEveryCellChange) {
    Grid->Cells[1][2] = "7";
    AccessibilityProbe probe;

    QTest::keyClick(Grid, Qt::Key_Down);
    ASSERT_EQ(Grid->Row(), 2);
    EXPECT_EQ(probe.NamesOf(QAccessible::Focus), std::vector<QString>{QStringLiteral("[7]")});
    EXPECT_EQ(probe.NamesOf(QAccessible::Selection), std::vector<QString>{QStringLiteral("[7]")});

    probe.Events.clear();
    Grid->Cells[2][3] = "12";
    Grid->Cells[2][3] = "12"; // the same text again is no change
    Grid->Cells[0][3] = "*3";
    EXPECT_EQ(probe.NamesOf(QAccessible::NameChanged),
              (std::vector<QString>{QStringLiteral("[12]"), QStringLiteral("*3")}));

    probe.Events.clear();
    QTest::keyClicks(Grid, QStringLiteral("5"));
    EXPECT_EQ(probe.NamesOf(QAccessible::Focus).back(), QStringLiteral("A 2")) << "the editor, by header and label";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(probe.NamesOf(QAccessible::NameChanged),
              (std::vector<QString>{QStringLiteral("A 2"), QStringLiteral("[5]")})); // the editor named, the cell
    EXPECT_EQ(probe.NamesOf(QAccessible::Focus).back(), QStringLiteral("[5]"));      // back on the cell

    probe.Events.clear();
    Other->setFocus();
    Grid->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(probe.NamesOf(QAccessible::Focus).back(), QStringLiteral("[5]"));
}

} // namespace
