#include "ui/MsgDlg.h"

#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/QtText.h"
#include "platform/Windows.h"
#include "support/ModalDriver.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr std::uint16_t Bit(TMsgDlgBtn Kind) {
    return static_cast<std::uint16_t>(1u << Kind);
}

AnsiString MessageText(const QWidget* Dialog) {
    for (const QLabel* label : Dialog->findChildren<QLabel*>()) {
        if (label->pixmap().isNull()) {
            return FromQString(label->text());
        }
    }
    return {};
}

// Outer geometry, frame included, as the program reads and sets it.
QRect Outer(const TForm& Form) {
    return QRect(Form.Left(), Form.Top(), Form.Width(), Form.Height());
}

void SetOuter(TForm& Form, const QRect& Outer) {
    Form.resize(Outer.width() - (Form.Width() - Form.width()), Outer.height() - (Form.Height() - Form.height()));
    Form.SetLeft(Outer.left());
    Form.SetTop(Outer.top());
}

class MsgDlg : public ::testing::Test {
protected:
    void SetUp() override {
        FSavedTitle = Application->Title();
        Application->SetTitle("見積電卓");
        Owner = std::make_unique<TForm>();
        SetOuter(*Owner, QRect(100, 80, 500, 400));
    }
    void TearDown() override {
        Application->SetTitle(FSavedTitle);
        while (QGuiApplication::overrideCursor()) {
            QGuiApplication::restoreOverrideCursor();
        }
    }

    std::unique_ptr<TForm> Owner;

private:
    AnsiString FSavedTitle;
};

// ---- answers and the focused button ----

enum class Answer { EnterOnFocus, ClickYes, ClickRetry, EscapeOnFocus, CloseBox };

struct AnswerCase {
    const char* Meaning;
    std::function<int(TForm*, const AnsiString&)> Ask;
    const char* Focused; // name of the button with the focus when the dialog comes up
    Answer Action;
    int Expected;
};

int Center(TForm* Form, const AnsiString& Msg, std::uint8_t DlgType, std::uint16_t Buttons, int DefaultChoice) {
    return MsgDlgCenter(Form, Msg, DlgType, Buttons, DefaultChoice);
}

const AnswerCase AnswerCases[] = {
    {"confirm defaulting to No: Enter answers No", [](TForm* f, const AnsiString& m) { return MsgConfirm(f, m, 2); },
     "No", Answer::EnterOnFocus, 2},
    {"confirm defaulting to No: clicking Yes answers Yes",
     [](TForm* f, const AnsiString& m) { return MsgConfirm(f, m, 2); }, "No", Answer::ClickYes, 1},
    {"confirm defaulting to No: Escape answers No", [](TForm* f, const AnsiString& m) { return MsgConfirm(f, m, 2); },
     "No", Answer::EscapeOnFocus, 2},
    {"confirm defaulting to No: the close box is neither",
     [](TForm* f, const AnsiString& m) { return MsgConfirm(f, m, 2); }, "No", Answer::CloseBox, 3},
    {"confirm without a default: Yes focused", [](TForm* f, const AnsiString& m) { return MsgConfirm(f, m, 0); }, "Yes",
     Answer::EnterOnFocus, 1},
    {"confirm defaulting to Yes", [](TForm* f, const AnsiString& m) { return MsgConfirm(f, m, 1); }, "Yes",
     Answer::EnterOnFocus, 1},
    {"default Cancel without a Cancel button falls back to Yes",
     [](TForm* f, const AnsiString& m) { return Center(f, m, mtConfirmation, Bit(mbYes) | Bit(mbNo), 3); }, "Yes",
     Answer::EnterOnFocus, 1},
    {"default Cancel with a Cancel button: Cancel is neither Yes nor No",
     [](TForm* f, const AnsiString& m) {
         return Center(f, m, mtConfirmation, Bit(mbYes) | Bit(mbNo) | Bit(mbCancel), 3);
     },
     "Cancel", Answer::EnterOnFocus, 3},
    {"default No without a No button leaves the first button focused",
     [](TForm* f, const AnsiString& m) { return Center(f, m, mtConfirmation, Bit(mbYes) | Bit(mbCancel), 2); }, "Yes",
     Answer::EscapeOnFocus, 3},
    {"with OK in the set the default is not applied",
     [](TForm* f, const AnsiString& m) { return Center(f, m, mtConfirmation, Bit(mbOK) | Bit(mbCancel), 3); }, "OK",
     Answer::EnterOnFocus, 1},
    {"any other button answers 3",
     [](TForm* f, const AnsiString& m) {
         return Center(f, m, mtError, Bit(mbAbort) | Bit(mbRetry) | Bit(mbIgnore), 0);
     },
     "Abort", Answer::ClickRetry, 3},
    {"warning: Enter answers 1", MsgWarning, "OK", Answer::EnterOnFocus, 1},
    {"warning: Escape answers 1 as well", MsgWarning, "OK", Answer::EscapeOnFocus, 1},
    {"warning: the close box answers 3", MsgWarning, "OK", Answer::CloseBox, 3},
};

void Click(QWidget* Modal, const char* Name) {
    auto* button = Modal->findChild<QPushButton*>(ToQString(Name));
    ASSERT_NE(button, nullptr) << Name;
    QTest::mouseClick(button, Qt::LeftButton);
}

TEST_F(MsgDlg, AnswersAndTheFocusedButton) {
    for (const AnswerCase& c : AnswerCases) {
        SCOPED_TRACE(c.Meaning);
        bool answered = false;
        AnswerNextModal([&](QWidget* modal) {
            answered = true;
            EXPECT_EQ(FromQString(modal->windowTitle()), "見積電卓");
            EXPECT_EQ(MessageText(modal), "\n消去します。");
            QWidget* focused = QApplication::focusWidget();
            ASSERT_NE(focused, nullptr);
            EXPECT_EQ(FromQString(focused->objectName()), c.Focused);
            switch (c.Action) {
            case Answer::EnterOnFocus:
                QTest::keyClick(focused, Qt::Key_Return);
                break;
            case Answer::EscapeOnFocus:
                QTest::keyClick(focused, Qt::Key_Escape);
                break;
            case Answer::ClickYes:
                Click(modal, "Yes");
                break;
            case Answer::ClickRetry:
                Click(modal, "Retry");
                break;
            case Answer::CloseBox:
                modal->close();
                break;
            }
            if (modal->isVisible() && qobject_cast<TForm*>(modal)->ModalResult() == mrNone) {
                ADD_FAILURE() << "the dialog stayed open";
                qobject_cast<TForm*>(modal)->SetModalResult(mrOk);
            }
        });
        EXPECT_EQ(c.Ask(Owner.get(), "消去します。"), c.Expected);
        EXPECT_TRUE(answered);
        EXPECT_FALSE(ModalIsUp());
    }
}

TEST_F(MsgDlg, TheDialogIsDeletedOnceAnswered) {
    QPointer<QWidget> seen;
    bool ran = false;
    AnswerNextModal([&](QWidget* modal) {
        ran = true;
        seen = modal;
        modal->close();
    });
    EXPECT_EQ(MsgWarning(Owner.get(), "x"), 3);
    ASSERT_TRUE(ran);
    EXPECT_TRUE(seen.isNull());
    for (QWidget* window : QApplication::topLevelWidgets()) {
        EXPECT_EQ(qobject_cast<TMessageForm*>(window), nullptr);
    }
}

TEST_F(MsgDlg, ABusyCursorGivesWayToTheArrowForGood) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    bool arrowWhileAsked = false;
    AnswerNextModal([&](QWidget* modal) {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        arrowWhileAsked = !cursor || cursor->shape() == Qt::ArrowCursor;
        QTest::keyClick(modal, Qt::Key_Return);
    });
    EXPECT_EQ(MsgConfirm(Owner.get(), "?", 1), 1);
    EXPECT_TRUE(arrowWhileAsked);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// ---- placement ----

struct PlacementCase {
    const char* Meaning;
    int Left, Top, WidthOverDialog, HeightOverDialog;
    int ExpectedLeft, ExpectedTop;
    bool OnScreen;
};

// Where a message dialog was put, seen just before it appears: the offscreen platform nudges a window
// whose frame would begin left of or above the screen once it is shown.
class PlacementWatch : public QObject {
public:
    PlacementWatch() { QCoreApplication::instance()->installEventFilter(this); }
    ~PlacementWatch() override { QCoreApplication::instance()->removeEventFilter(this); }
    QRect Seen;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (auto* dialog = qobject_cast<TMessageForm*>(Watched); dialog && Event->type() == QEvent::Show) {
            Seen = Outer(*dialog);
        }
        return false;
    }
};

TEST_F(MsgDlg, CentredOverTheFormEvenOffTheScreen) {
    const AnsiString msg = "見積ファイルを読み込めませんでした。";
    // The dialog MsgDlgCenter builds for this message, to learn its outer size.
    const std::unique_ptr<TMessageForm> probe(CreateMessageDialog("\r\n" + msg, mtWarning, Bit(mbOK)));
    const QSize outer = Outer(*probe).size();
    ASSERT_GT(outer.width(), 101);
    const PlacementCase cases[] = {
        {"over a larger form", 100, 50, 200, 101, 100 + 100, 50 + 50, true},
        {"over a narrower form, left of the screen, truncated toward zero", 10, 7, -101, -3, 10 - 50, 7 - 1, false},
        {"over a form above the screen", 300, -500, 0, 20, 300, -490, false},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.Meaning);
        TForm reference;
        const QRect wanted(c.Left, c.Top, outer.width() + c.WidthOverDialog, outer.height() + c.HeightOverDialog);
        SetOuter(reference, wanted);
        ASSERT_EQ(Outer(reference), wanted);
        const QRect expected(c.ExpectedLeft, c.ExpectedTop, outer.width(), outer.height());
        PlacementWatch watch;
        QRect shown;
        AnswerNextModal([&](QWidget* modal) {
            shown = Outer(*qobject_cast<TForm*>(modal));
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        EXPECT_EQ(MsgWarning(&reference, msg), 1);
        EXPECT_EQ(watch.Seen, expected);
        if (c.OnScreen) {
            EXPECT_EQ(shown, expected);
        }
    }
}

// ---- CenterForm ----

TEST(CenterForm, OverAForm) {
    const struct {
        const char* Meaning;
        QRect Form;
        QSize Window;
        QPoint Expected;
    } cases[] = {
        {"smaller window over a form", {100, 50, 400, 300}, {257, 205}, {100 + 71, 50 + 47}},
        {"wider and taller window, truncated toward zero", {10, 5, 300, 100}, {401, 203}, {10 - 50, 5 - 51}},
        {"same size", {-20, -30, 300, 200}, {300, 200}, {-20, -30}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Meaning);
        TForm form;
        SetOuter(form, c.Form);
        TForm window;
        SetOuter(window, QRect(QPoint(7, 9), c.Window));
        CenterForm(&form, &window);
        EXPECT_EQ(Outer(window), QRect(c.Expected, c.Window));
        EXPECT_EQ(Outer(form), c.Form);
    }
}

TEST(CenterForm, OverTheScreenWithoutAForm) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_GT(screenWidth, 0);
    TForm window;
    SetOuter(window, QRect(0, 0, 257, 205));
    CenterForm(nullptr, &window);
    EXPECT_EQ(Outer(window), QRect((screenWidth - 257) / 2, (screenHeight - 205) / 2, 257, 205));

    TForm wide;
    SetOuter(wide, QRect(0, 0, screenWidth + 101, screenHeight + 3));
    CenterForm(nullptr, &wide);
    EXPECT_EQ(Outer(wide).topLeft(), QPoint(-50, -1));
}

constexpr const char* ScreenChildVariable = "KALNOR_TEST_1024_SCREEN";

// Needs a 1024x768 primary screen: runs itself again on such an offscreen screen when this one differs.
TEST(CenterForm, CentresOnA1024By768Screen) {
    if (std::getenv(ScreenChildVariable)) {
        ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
        ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
        TForm window;
        SetOuter(window, QRect(0, 0, 257, 205));
        CenterForm(nullptr, &window);
        EXPECT_EQ(Outer(window), QRect(383, 281, 257, 205));
        return;
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"screens": [{"name": "Screen", "x": 0, "y": 0, "width": 1024, "height": 768, )"
               R"("logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
    environment.insert(QString::fromLatin1(ScreenChildVariable), QStringLiteral("1"));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=CenterForm.CentresOnA1024By768Screen")});
    ASSERT_TRUE(child.waitForFinished(30000));
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << FromQString(output);
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test."))) << FromQString(output);
}

TEST(CenterForm, WithoutAWindowDoesNothing) {
    TForm form;
    SetOuter(form, QRect(40, 30, 200, 100));
    CenterForm(&form, nullptr);
    CenterForm(nullptr, nullptr);
    EXPECT_EQ(Outer(form), QRect(40, 30, 200, 100));
}

} // namespace
