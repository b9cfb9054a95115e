#pragma once

#include "app/FR0010MN.h"

#include <QPoint>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

class QLineEdit;

// A main window created as at start-up, in a directory of its own without a settings file (so at the
// rate 0.05), shown and active, driven by real key and mouse events.
class SheetTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    TStringGrid* Grid() const { return Form->SGMain; }
    QPoint CellCenter(int col, int row) const;
    void ClickCell(int col, int row, Qt::MouseButton button = Qt::LeftButton);
    void DoubleClickCell(int col, int row);
    // Key events go to whichever widget has the focus, as typing does.
    void Type(const QString& text);
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Clicks the cell, types the text and presses Enter.
    void Enter(int col, int row, const QString& text);
    AnsiString Cell(int col, int row) const { return Form->SGMain->Cells[col][row]; }
    static AnsiString Text(const QLineEdit* field);
    // The four fields in the order total, tax, grand total, subtotal.
    std::array<AnsiString, 4> Fields() const;

    QTemporaryDir Dir;
    TFrmFR0010MN* Form = nullptr;

private:
    void Activate() const;
};
