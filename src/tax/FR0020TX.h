#pragma once

// The tax-rate dialog: one box for the rate as a decimal fraction, saved to the settings file and
// taken over by the main window on OK. It always closes with Cancel as its modal result.

#include "platform/Forms.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TFrmFR0020TX : public TForm {
    Q_OBJECT

public:
    explicit TFrmFR0020TX(QWidget* Owner = nullptr);

    QLabel* Label1;
    QLineEdit* EdtZeiritu;
    QPushButton* BtnOK;
    QPushButton* BtnCancel;

    void FormShow(TObject* Sender);
    void BtnCancelClick(TObject* Sender);
    void BtnOKClick(TObject* Sender);
    void EdtZeirituEnter(TObject* Sender);
    void EdtZeirituChange(TObject* Sender);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The box holds the dialog's focus: getting it back with the window is no new entry.
    bool FBoxEntered = false;
};

extern TFrmFR0020TX* FrmFR0020TX;
