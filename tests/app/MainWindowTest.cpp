#include "support/ModalDriver.h"
#include "support/SheetFixture.h"
#include "support/UserInput.h"

#include "platform/Dialogs.h"
#include "platform/ModulePath.h"
#include "platform/QtText.h"
#include "platform/Windows.h"
#include "tax/FR0020TX.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

namespace {

using FieldTexts = std::array<AnsiString, 4>;

AnsiString ModalText(QWidget* modal) {
    AnsiString text;
    for (const QLabel* label : modal->findChildren<QLabel*>()) {
        text += FromQString(label->text());
    }
    return text;
}

TEST_F(SheetTest, WindowShowsTitleMenusAndStatus) {
    EXPECT_EQ(Form->Caption(), "Kalnor");
    const struct {
        QMenu* Menu;
        const char* Caption;
    } menus[] = {{Form->MnuFile, "ファイル(&F)"},
                 {Form->MnuEdit, "編集(&E)"},
                 {Form->MnuOption, "オプション(&O)"},
                 {Form->MnuHelp, "ヘルプ(&H)"}};
    const QList<QAction*> top = Form->MnuMain->actions();
    ASSERT_EQ(top.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(top[i], menus[i].Menu->menuAction());
        EXPECT_EQ(FromQString(menus[i].Menu->title()), menus[i].Caption);
    }
    EXPECT_EQ(FromQString(Form->MnuExit->text()), "終了(&X)");
    EXPECT_EQ(FromQString(Form->MnuClear->text()), "クリア(&C)");
    EXPECT_EQ(Form->MnuClear->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(FromQString(Form->MnuSyokeiClear->text()), "小計対象クリア(&S)");
    EXPECT_EQ(Form->MnuSyokeiClear->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(FromQString(Form->MnuTax->text()), "税率設定(&T)");
    EXPECT_EQ(FromQString(Form->MnuAbout->text()), "バージョン情報(&A)");
    const QLabel* ready = Form->StbInfo->findChild<QLabel*>();
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(FromQString(ready->text()), "ﾚﾃﾞｨ");
    EXPECT_FALSE(Form->windowIcon().isNull());
}

// State: a filled row. Action: Ctrl+D answered with Enter, then with Yes.
// Expected: the question with No focused; Enter keeps the sheet, Yes clears it.
TEST_F(SheetTest, CtrlDAsksWithNoFocusedAndOnlyYesClears) {
    Enter(1, 2, QStringLiteral("10"));
    Enter(2, 2, QStringLiteral("3"));
    AnswerNextModal([](QWidget* modal) {
        EXPECT_NE(ModalText(modal).find("消去します。よろしいですか？"), AnsiString::npos);
        EXPECT_EQ(FromQString(modal->windowTitle()), "Kalnor");
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("No"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    Press(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(Cell(3, 2), "30");
    EXPECT_EQ(Form->EdtGokei->text(), QStringLiteral("30"));

    AnswerNextModal([](QWidget* modal) {
        auto* yes = modal->findChild<QPushButton*>(QStringLiteral("Yes"));
        ASSERT_NE(yes, nullptr);
        QTest::mouseClick(yes, Qt::LeftButton);
    });
    Press(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(Cell(3, 2), "");
    EXPECT_EQ(Cell(1, 2), "");
    EXPECT_EQ(Form->EdtGokei->text(), QString());
}

TEST_F(SheetTest, CtrlQClearsTheMarksWithoutAQuestion) {
    Enter(1, 2, QStringLiteral("10"));
    Enter(2, 2, QStringLiteral("3"));
    DoubleClickCell(0, 2);
    ASSERT_EQ(Cell(0, 2), "* 2");
    Press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(ModalIsUp());
    EXPECT_EQ(Cell(0, 2), "2");
    EXPECT_EQ(Form->EdtSyokei->text(), QString());
    EXPECT_EQ(Form->EdtGokei->text(), QStringLiteral("30"));
}

TEST_F(SheetTest, TheTaxRateItemShowsTheDialogAndRecalculatesHoweverItCloses) {
    Application->CreateForm(FrmFR0020TX);
    Grid()->Cells[3][4] = "100"; // written without a recalculation
    bool shown = false;
    AnswerNextModal([&shown](QWidget* modal) {
        shown = true;
        EXPECT_EQ(modal, FrmFR0020TX);
        QTest::mouseClick(FrmFR0020TX->BtnCancel, Qt::LeftButton);
    });
    Form->MnuTax->trigger();
    EXPECT_TRUE(shown);
    EXPECT_EQ(Form->EdtGokei->text(), QStringLiteral("100"));
    EXPECT_EQ(Form->FTaxRate, 500);
    delete FrmFR0020TX;
}

TEST_F(SheetTest, FileExitClosesTheWindow) {
    Form->MnuExit->trigger();
    EXPECT_FALSE(Form->isVisible());
}

// A restore or minimise command posted to any window of the program is the application's.
TEST_F(SheetTest, QueuedMinimiseAndRestoreAreConsumedForEveryWindow) {
    for (QWidget* target :
         {static_cast<QWidget*>(Form), static_cast<QWidget*>(Form->EdtGokei), Application->Handle()}) {
        PostMessageA(target, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        QCoreApplication::processEvents();
        EXPECT_TRUE(Form->windowState() & Qt::WindowMinimized);
        EXPECT_EQ(Application->Handle()->geometry(), QRect(Form->Left(), Form->Top(), Form->Width(), 0))
            << "the application window is laid along the main window's top edge";

        PostMessageA(target, WM_SYSCOMMAND, SC_RESTORE, 0);
        QCoreApplication::processEvents();
        EXPECT_FALSE(Form->windowState() & Qt::WindowMinimized);
        EXPECT_EQ(Application->Handle()->geometry(), QRect(0, 0, 0, 0));
    }
}

TEST_F(SheetTest, AMinimiseWithLowBitsSetIsLeftToTheDefaultHandling) {
    Application->Handle()->setGeometry(7, 7, 7, 7);
    PostMessageA(Form, WM_SYSCOMMAND, SC_MINIMIZE | 0x2, 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Form->windowState() & Qt::WindowMinimized) << "the default handling minimises the window itself";
    EXPECT_EQ(Application->Handle()->geometry(), QRect(7, 7, 7, 7)) << "not through the application";
}

TEST_F(SheetTest, TheMinimiseBoxReachesTheWindowAsASystemCommand) {
    Application->Handle()->setGeometry(7, 7, 7, 7);
    Form->setWindowState(Qt::WindowMinimized); // as the window manager does for the title bar's box
    EXPECT_EQ(Application->Handle()->geometry(), QRect(Form->Left(), Form->Top(), Form->Width(), 0));
    Form->setWindowState(Qt::WindowNoState); // a restore from the task bar
    QCoreApplication::processEvents();
    EXPECT_EQ(Application->Handle()->geometry(), QRect(0, 0, 0, 0));
}

TEST_F(SheetTest, AFailureInAnEventHandlerIsShownAndTheLoopGoesOn) {
    AnswerNextModal([](QWidget* modal) {
        EXPECT_EQ(FromQString(modal->windowTitle()), "Kalnor");
        EXPECT_NE(ModalText(modal).find("boom."), AnsiString::npos);
        QTest::keyClick(modal, Qt::Key_Return);
    });
    QTimer::singleShot(0, [] { throw Exception("boom"); });
    QTest::qWait(50);
    for (int i = 0; i < 100 && ModalIsUp(); ++i) {
        QTest::qWait(20);
    }
    EXPECT_FALSE(ModalIsUp());
    Enter(1, 1, QStringLiteral("5")); // the loop still serves the window
    EXPECT_EQ(Cell(1, 1), "5");
}

// A settings file whose rate is no number: the warning comes during creation, before the window is
// shown, centred over the window's layout position.
class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        SetModuleFileNameOverride(Dir.filePath(QStringLiteral("kalnor")).toStdString());
        Application->SetTitle("Kalnor");
    }
    void TearDown() override {
        Application->OnMessage = nullptr;
        SetModuleFileNameOverride(AnsiString());
    }
    QTemporaryDir Dir;
};

TEST_F(StartUpTest, ABadRateIsWarnedAboutBeforeTheWindowIsShown) {
    QFile ini(Dir.filePath(QStringLiteral("kalnor.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[TAX]\r\nRATE=5%\r\n");
    ini.close();

    TFrmFR0010MN form;
    bool warned = false;
    AnswerNextModal([&](QWidget* modal) {
        warned = true;
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(FromQString(modal->windowTitle()), "Kalnor");
        EXPECT_NE(ModalText(modal).find("'5%' は浮動小数点ではありません"), AnsiString::npos);
        const auto* box = static_cast<TForm*>(modal);
        EXPECT_EQ(box->Left(), 326 + (form.Width() - box->Width()) / 2);
        EXPECT_EQ(box->Top(), 229 + (form.Height() - box->Height()) / 2);
        QTest::keyClick(modal, Qt::Key_Return);
    });
    form.DoCreate();
    EXPECT_TRUE(warned);
    EXPECT_EQ(form.FTaxRate, 500);
    std::array<const QLineEdit*, 4> fields{form.EdtGokei, form.EdtZeiKei, form.EdtSouKei, form.EdtSyokei};
    for (const QLineEdit* field : fields) {
        EXPECT_TRUE(field->text().isEmpty());
    }
}

TEST_F(StartUpTest, TheWindowIsCentredOnTheScreenWhenFirstShown) {
    TFrmFR0010MN form;
    form.DoCreate();
    EXPECT_EQ(form.Left(), 326);
    form.show();
    EXPECT_EQ(form.Left(), std::max(0, (GetSystemMetrics(SM_CXSCREEN) - form.Width()) / 2));
    EXPECT_EQ(form.Top(), std::max(0, (GetSystemMetrics(SM_CYSCREEN) - form.Height()) / 2));
}

} // namespace
