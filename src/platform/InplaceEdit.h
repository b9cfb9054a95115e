#pragma once

#include <QLineEdit>

class TStringGrid;

// The grid's cell editor: a line edit that hands the grid's keys and its own
// double-clicks and focus loss back to the grid.
class TInplaceEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TInplaceEdit(TStringGrid* grid);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    TStringGrid* FGrid;
};
