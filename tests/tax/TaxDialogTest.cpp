#include "tax/FR0020TX.h"

#include "support/ModalDriver.h"
#include "support/SheetFixture.h"

#include "platform/Graphics.h"
#include "platform/QtText.h"
#include "ui/EditFilter.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

namespace {

AnsiString ModalText(QWidget* modal) {
    AnsiString text;
    for (const QLabel* label : modal->findChildren<QLabel*>()) {
        text += FromQString(label->text());
    }
    return text;
}

// The dialog as the main window's menu opens it: created once, shown modally as often as asked.
class TaxDialogTest : public SheetTest {
protected:
    void SetUp() override {
        SheetTest::SetUp();
        LastEditText.clear(); // as at program start
        Application->CreateForm(FrmFR0020TX);
        Dialog = FrmFR0020TX;
        ASSERT_NE(Application->MainForm(), Dialog);
    }
    void TearDown() override {
        delete Dialog;
        FrmFR0020TX = nullptr;
        SheetTest::TearDown();
    }

    // Shows the dialog modally; Action drives it from within its modal loop and is expected to close it.
    // A message nobody expects fails the test and is closed, rather than waiting for an answer forever.
    int Open(const std::function<void()>& Action) {
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!ExpectingMessage && modal && modal != Dialog && modal->isVisible()) {
                ADD_FAILURE() << "unexpected message: " << ModalText(modal);
                modal->close();
            }
        });
        guard.start(10);
        AnswerNextModal([this, Action](QWidget* modal) {
            EXPECT_EQ(modal, Dialog);
            Action();
            if (Dialog->ModalResult() == mrNone) {
                ADD_FAILURE() << "the dialog was left open";
                Dialog->Close();
            }
        });
        return Dialog->ShowModal();
    }
    // The text the box shows when the dialog is opened, closed again with Cancel.
    AnsiString OpeningText() {
        AnsiString shown;
        Open([&] {
            shown = Text(Dialog->EdtZeiritu);
            Click(Dialog->BtnCancel);
        });
        return shown;
    }
    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void ClickIntoBox() { QTest::mouseClick(Dialog->EdtZeiritu, Qt::LeftButton); }
    // Presses OK, expects a warning over the dialog and answers it; the dialog must stay open.
    void ExpectWarningOnOk(const AnsiString& Message) {
        bool warned = false;
        ExpectingMessage = true;
        AnswerNextModal([&](QWidget* modal) {
            warned = true;
            EXPECT_NE(modal, Dialog);
            EXPECT_EQ(FromQString(modal->windowTitle()), "Kalnor");
            EXPECT_NE(ModalText(modal).find(Message), AnsiString::npos) << ModalText(modal);
            const auto* box = static_cast<TForm*>(modal);
            EXPECT_EQ(box->Left(), Dialog->Left() + (Dialog->Width() - box->Width()) / 2);
            EXPECT_EQ(box->Top(), Dialog->Top() + (Dialog->Height() - box->Height()) / 2);
            QTest::keyClick(modal, Qt::Key_Return);
        });
        Click(Dialog->BtnOK);
        ExpectingMessage = false;
        EXPECT_TRUE(warned);
        EXPECT_EQ(Dialog->ModalResult(), mrNone) << "the dialog stays open";
        EXPECT_TRUE(Dialog->isVisible());
    }
    QString IniPath() const { return Dir.filePath(QStringLiteral("kalnor.ini")); }
    QByteArray IniBytes() const {
        QFile ini(IniPath());
        return ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray("<none>");
    }

    TFrmFR0020TX* Dialog = nullptr;
    bool ExpectingMessage = false;
};

TEST_F(TaxDialogTest, IsLaidOutAsDesigned) {
    EXPECT_EQ(Dialog->Caption(), "税率設定");
    EXPECT_EQ(Dialog->Left(), 357);
    EXPECT_EQ(Dialog->Top(), 320);
    EXPECT_EQ(Dialog->size(), QSize(232, 93));
    EXPECT_EQ(Dialog->minimumSize(), Dialog->maximumSize()) << "the size is fixed";
    const Qt::WindowFlags flags = Dialog->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(Dialog->windowType(), Qt::Dialog);
    const QFont formFace = LayoutFont("ＭＳ Ｐゴシック", -12, clWindowText).Face;
    EXPECT_EQ(Dialog->font(), formFace);
    EXPECT_EQ(Dialog->Label1->font(), formFace) << "the caption takes the form's font";

    const struct {
        QWidget* Control;
        QRect Geometry;
        const char* Caption;
    } controls[] = {{Dialog->Label1, QRect(48, 28, 24, 12), "税率"},
                    {Dialog->EdtZeiritu, QRect(88, 24, 73, 20), ""},
                    {Dialog->BtnOK, QRect(40, 64, 89, 25), "OK"},
                    {Dialog->BtnCancel, QRect(136, 64, 91, 25), "キャンセル"}};
    for (const auto& control : controls) {
        EXPECT_EQ(control.Control->geometry(), control.Geometry) << control.Caption;
    }
    EXPECT_EQ(FromQString(Dialog->Label1->text()), "税率");
    EXPECT_EQ(Text(Dialog->EdtZeiritu), "");
    EXPECT_EQ(FromQString(Dialog->BtnOK->text()), "OK");
    EXPECT_EQ(FromQString(Dialog->BtnCancel->text()), "キャンセル");
    EXPECT_EQ(GetFont(Dialog->EdtZeiritu), LayoutFont("ＭＳ ゴシック", -12, clBlack));
    EXPECT_EQ(Dialog->EdtZeiritu->nextInFocusChain(), Dialog->BtnOK);
    EXPECT_EQ(Dialog->BtnOK->nextInFocusChain(), Dialog->BtnCancel);
}

// The main window moved away from its own centring, so that the dialog follows it and not the screen.
TEST_F(TaxDialogTest, OpensCentredOverTheMainWindowWithTheRateSelectedInTheBox) {
    Form->SetLeft(40);
    Form->SetTop(30);
    const int result = Open([&] {
        EXPECT_EQ(Dialog->Left(), Form->Left() + (Form->Width() - Dialog->Width()) / 2);
        EXPECT_EQ(Dialog->Top(), Form->Top() + (Form->Height() - Dialog->Height()) / 2);
        EXPECT_EQ(QApplication::focusWidget(), Dialog->EdtZeiritu);
        EXPECT_EQ(Text(Dialog->EdtZeiritu), "0.05");
        EXPECT_EQ(Dialog->EdtZeiritu->selectedText(), QStringLiteral("0.05"));
        EXPECT_EQ(LastEditText, "0.05");
        Click(Dialog->BtnCancel);
    });
    EXPECT_EQ(result, mrCancel);
}

TEST_F(TaxDialogTest, OkSavesTheTypedTextAndHandsTheRateToTheMainWindow) {
    const int result = Open([&] {
        Type(QStringLiteral(".08"));
        EXPECT_EQ(Text(Dialog->EdtZeiritu), ".08");
        Click(Dialog->BtnOK);
    });
    EXPECT_EQ(result, mrCancel) << "the dialog always closes with Cancel";
    EXPECT_EQ(IniBytes(), QByteArray("[TAX]\r\nRATE=.08\r\n"));
    EXPECT_EQ(Form->FTaxRate, 800);
    EXPECT_EQ(OpeningText(), "0.08");
}

// A rate written by the dialog itself may be longer than the user may type.
TEST_F(TaxDialogTest, ASixCharacterRateIsShownWholeOnReopening) {
    Open([&] {
        Type(QStringLiteral(".1234"));
        Click(Dialog->BtnOK);
    });
    EXPECT_EQ(Form->FTaxRate, 1234);
    EXPECT_EQ(IniBytes(), QByteArray("[TAX]\r\nRATE=.1234\r\n"));
    EXPECT_EQ(OpeningText(), "0.1234");
}

// Each row places the caret in the opened "0.05" and types one character the box refuses.
TEST_F(TaxDialogTest, ARefusedCharacterLeavesThePreviousTextWithTheCaretWhereItWasTyped) {
    const struct {
        const char* Meaning;
        int Caret;
        const char* Typed;
    } rows[] = {{"letter at the end", 4, "a"}, {"minus in the middle", 2, "-"}, {"full-width digit first", 0, "１"}};
    Open([&] {
        for (const auto& row : rows) {
            Dialog->EdtZeiritu->setCursorPosition(row.Caret);
            Type(QString::fromUtf8(row.Typed));
            EXPECT_EQ(Text(Dialog->EdtZeiritu), "0.05") << row.Meaning;
            EXPECT_EQ(Dialog->EdtZeiritu->cursorPosition(), row.Caret) << row.Meaning;
        }
        Click(Dialog->BtnCancel);
    });
}

// Switching to another program and back is no new entry into the box: the caret stays, nothing is selected.
TEST_F(TaxDialogTest, ComingBackToTheDialogKeepsTheCaret) {
    Open([&] {
        Press(Qt::Key_End);
        Press(Qt::Key_Left);
        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(Dialog);
        ASSERT_EQ(QApplication::focusWidget(), Dialog->EdtZeiritu);
        EXPECT_FALSE(Dialog->EdtZeiritu->hasSelectedText());
        EXPECT_EQ(Dialog->EdtZeiritu->cursorPosition(), 3);
        Click(Dialog->BtnCancel);
    });
}

TEST_F(TaxDialogTest, OkOnAnEmptyBoxWarnsAndKeepsTheDialogOpen) {
    Open([&] {
        Press(Qt::Key_Backspace);
        ASSERT_EQ(Text(Dialog->EdtZeiritu), "");
        ExpectWarningOnOk("'' は浮動小数点ではありません");
        EXPECT_EQ(Text(Dialog->EdtZeiritu), "");
        Click(Dialog->BtnCancel);
    });
    EXPECT_FALSE(QFile::exists(IniPath()));
    EXPECT_EQ(Form->FTaxRate, 500);
}

TEST_F(TaxDialogTest, AReadOnlySettingsFileIsWarnedAboutAndCancelKeepsTheOldRate) {
    const QByteArray stored("[TAX]\r\nRATE=0.05\r\n");
    {
        QFile ini(IniPath());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(stored);
    }
    ASSERT_TRUE(QFile::setPermissions(IniPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    Open([&] {
        Type(QStringLiteral(".08"));
        ExpectWarningOnOk(FromQString(IniPath()) + " に書き込めません");
        EXPECT_EQ(Text(Dialog->EdtZeiritu), ".08") << "the box is left as typed";
        Click(Dialog->BtnCancel);
    });
    EXPECT_EQ(Form->FTaxRate, 500);
    EXPECT_EQ(IniBytes(), stored);
}

// "-0.05" is refused by the box like typed text, which then shows the last accepted text.
TEST_F(TaxDialogTest, ANegativeRateOpensWithTheLastAcceptedText) {
    Form->FTaxRate = -500;
    Open([&] {
        EXPECT_EQ(Text(Dialog->EdtZeiritu), "") << "nothing was accepted before the first opening";
        ExpectWarningOnOk("'' は浮動小数点ではありません");
        Click(Dialog->BtnCancel);
    });
    EXPECT_EQ(Form->FTaxRate, -500);

    Form->FTaxRate = 500;
    ASSERT_EQ(OpeningText(), "0.05");
    Form->FTaxRate = -500;
    EXPECT_EQ(OpeningText(), "0.05");
}

TEST_F(TaxDialogTest, CancelOrTheCloseBoxAfterTypingChangesNothing) {
    const std::function<void()> closers[] = {
        [&] { Click(Dialog->BtnCancel); },
        [&] { Dialog->windowHandle()->close(); }}; // as the close box asks the window to close
    for (const auto& close : closers) {
        const int result = Open([&] {
            Type(QStringLiteral(".2"));
            close();
        });
        EXPECT_EQ(result, mrCancel);
        EXPECT_FALSE(QFile::exists(IniPath()));
        EXPECT_EQ(Form->FTaxRate, 500);
        EXPECT_EQ(OpeningText(), "0.05");
    }
}

TEST_F(TaxDialogTest, EnterAndEscapePressNoButton) {
    Open([&] {
        Type(QStringLiteral(".08"));
        for (QWidget* target : {static_cast<QWidget*>(Dialog->EdtZeiritu), static_cast<QWidget*>(Dialog->BtnOK),
                                static_cast<QWidget*>(Dialog->BtnCancel)}) {
            target->setFocus(Qt::TabFocusReason);
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
                Press(key);
                EXPECT_EQ(Dialog->ModalResult(), mrNone);
                EXPECT_TRUE(Dialog->isVisible());
            }
        }
        EXPECT_FALSE(QFile::exists(IniPath()));
        Click(Dialog->BtnCancel);
    });
    EXPECT_EQ(Form->FTaxRate, 500);
}

TEST_F(TaxDialogTest, TypingStopsAtFiveCharacters) {
    Form->FTaxRate = 1234;
    Open([&] {
        QLineEdit* box = Dialog->EdtZeiritu;
        ASSERT_EQ(Text(box), "0.1234") << "the dialog's own text is shown whole";
        Press(Qt::Key_End);
        Type(QStringLiteral("5"));
        EXPECT_EQ(Text(box), "0.1234") << "no character is added to a text over the limit";
        Press(Qt::Key_Backspace);
        Type(QStringLiteral("5"));
        EXPECT_EQ(Text(box), "0.123");
        Press(Qt::Key_Backspace);
        Type(QStringLiteral("45"));
        EXPECT_EQ(Text(box), "0.124") << "the fifth character goes in, the sixth does not";

        box->setSelection(2, 3);
        Type(QStringLiteral("9"));
        EXPECT_EQ(Text(box), "0.9") << "typed text replaces the selection";

        QGuiApplication::clipboard()->setText(QStringLiteral("8765"));
        Press(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(Text(box), "0.987") << "a paste keeps only what fits";
        Press(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(Text(box), "0.987");
        box->selectAll();
        Press(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(Text(box), "8765");
        Click(Dialog->BtnCancel);
    });
}

} // namespace
