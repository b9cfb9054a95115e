#include "support/SheetFixture.h"

#include "platform/ModulePath.h"
#include "platform/QtText.h"
#include "support/UserInput.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

void SheetTest::SetUp() {
    ASSERT_TRUE(Dir.isValid());
    SetModuleFileNameOverride(Dir.filePath(QStringLiteral("kalnor")).toStdString());
    Application->SetTitle("Kalnor");
    Application->CreateForm(FrmFR0010MN);
    Form = FrmFR0010MN;
    ASSERT_EQ(Form->FTaxRate, 500);
    Form->show();
    Activate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form));
    Form->SGMain->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), Form->SGMain);
}

void SheetTest::TearDown() {
    delete Form;
}

QPoint SheetTest::CellCenter(int col, int row) const {
    if (row >= Grid()->FixedRows() && Grid()->CellRect(col, row).Right == 0) {
        Grid()->verticalScrollBar()->setValue(row - Grid()->FixedRows()); // as the user scrolls to it
    }
    const TRect rect = Grid()->CellRect(col, row);
    EXPECT_LT(rect.Left, rect.Right) << "cell " << col << "," << row << " is not in view";
    return QPoint((rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2);
}

void SheetTest::ClickCell(int col, int row, Qt::MouseButton button) {
    QTest::mouseClick(Grid()->viewport(), button, Qt::NoModifier, CellCenter(col, row));
}

void SheetTest::DoubleClickCell(int col, int row) {
    ::DoubleClick(Grid()->viewport(), CellCenter(col, row));
}

void SheetTest::Activate() const {
    if (!QApplication::activeWindow()) {
        QApplication::setActiveWindow(Form); // back from a modal window, as the window manager does
    }
}

void SheetTest::Type(const QString& text) {
    Activate();
    for (const QChar c : text) {
        QWidget* focus = QApplication::focusWidget();
        if (c.unicode() < 0x80) {
            QTest::keyClick(focus, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, focus, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

void SheetTest::Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    Activate();
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

void SheetTest::Enter(int col, int row, const QString& text) {
    ClickCell(col, row);
    Type(text);
    Press(Qt::Key_Return);
}

AnsiString SheetTest::Text(const QLineEdit* field) {
    return FromQString(field->text());
}

std::array<AnsiString, 4> SheetTest::Fields() const {
    return {Text(Form->EdtGokei), Text(Form->EdtZeiKei), Text(Form->EdtSouKei), Text(Form->EdtSyokei)};
}
