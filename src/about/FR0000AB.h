#pragma once

// The version dialog: the program's logo, its title and version in the caption, the rights notice
// and the maker's icon, closed only by its OK button or the close box.

#include "platform/Forms.h"

class QKeyEvent;
class QLabel;
class QPushButton;

class TAboutBox : public TForm {
    Q_OBJECT

public:
    // Built hidden with its layout; the caption comes from FormCreate, which DoCreate runs.
    explicit TAboutBox(QWidget* Owner);

    QPushButton* OKButton;
    QLabel* ImgAppLogo;
    QLabel* Copyright;
    QLabel* Comments;
    QLabel* ImgVorn;

    void FormCreate(TObject* Sender);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

extern TAboutBox* AboutBox;
