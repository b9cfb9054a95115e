#include "platform/Dialogs.h"

#include "platform/QtText.h"
#include "platform/Windows.h"
#include "support/ModalDriver.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr TMsgDlgButtons Set(std::initializer_list<TMsgDlgBtn> Kinds) {
    TMsgDlgButtons buttons = 0;
    for (TMsgDlgBtn kind : Kinds) {
        buttons = static_cast<TMsgDlgButtons>(buttons | (1u << kind));
    }
    return buttons;
}

std::unique_ptr<TMessageForm> Make(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    return std::unique_ptr<TMessageForm>(CreateMessageDialog(Msg, DlgType, Buttons));
}

std::vector<QPushButton*> ButtonsLeftToRight(const QWidget* Dialog) {
    std::vector<QPushButton*> buttons;
    for (QPushButton* button : Dialog->findChildren<QPushButton*>()) {
        buttons.push_back(button);
    }
    std::sort(buttons.begin(), buttons.end(),
              [](const QPushButton* a, const QPushButton* b) { return a->x() < b->x(); });
    return buttons;
}

QLabel* MessageLabel(const QWidget* Dialog) {
    for (QLabel* label : Dialog->findChildren<QLabel*>()) {
        if (label->pixmap().isNull()) {
            return label;
        }
    }
    return nullptr;
}

QLabel* IconLabel(const QWidget* Dialog) {
    for (QLabel* label : Dialog->findChildren<QLabel*>()) {
        if (!label->pixmap().isNull()) {
            return label;
        }
    }
    return nullptr;
}

// Shows the dialog as the program does, lets Answer act on it, and returns what ShowModal returned.
int ShowAndAnswer(TMessageForm& Dialog, std::function<void(TMessageForm&)> Answer) {
    AnswerNextModal([&Dialog, Answer](QWidget* modal) {
        EXPECT_EQ(modal, &Dialog);
        Answer(Dialog);
        if (Dialog.isVisible() && Dialog.ModalResult() == mrNone) {
            ADD_FAILURE() << "the dialog stayed open";
            Dialog.SetModalResult(mrAbort);
        }
    });
    return Dialog.ShowModal();
}

// ---- buttons ----

struct ButtonExpectation {
    const char* Name;
    const char* Caption;
    int Result;
};

struct ButtonSetCase {
    const char* Meaning;
    TMsgDlgButtons Buttons;
    std::vector<ButtonExpectation> Expected;
};

const std::vector<ButtonSetCase> ButtonSets = {
    {"OK alone", Set({mbOK}), {{"OK", "OK", mrOk}}},
    {"Yes and No", Set({mbYes, mbNo}), {{"Yes", "はい(&Y)", mrYes}, {"No", "いいえ(&N)", mrNo}}},
    {"Yes, No and Cancel",
     Set({mbCancel, mbNo, mbYes}),
     {{"Yes", "はい(&Y)", mrYes}, {"No", "いいえ(&N)", mrNo}, {"Cancel", "ｷｬﾝｾﾙ", mrCancel}}},
    {"every kind, in kind order",
     Set({mbHelp, mbAll, mbIgnore, mbRetry, mbAbort, mbCancel, mbOK, mbNo, mbYes}),
     {{"Yes", "はい(&Y)", mrYes},
      {"No", "いいえ(&N)", mrNo},
      {"OK", "OK", mrOk},
      {"Cancel", "ｷｬﾝｾﾙ", mrCancel},
      {"Abort", "中止(&A)", mrAbort},
      {"Retry", "再試行(&R)", mrRetry},
      {"Ignore", "無視(&I)", mrIgnore},
      {"All", "すべて(&A)", mrAll},
      {"Help", "ﾍﾙﾌﾟ(&H)", mrNone}}},
};

TEST(MessageDialogButtons, NamesCaptionsAndOrderFollowTheKinds) {
    for (const ButtonSetCase& c : ButtonSets) {
        SCOPED_TRACE(c.Meaning);
        auto dialog = Make("Message", mtInformation, c.Buttons);
        const std::vector<QPushButton*> buttons = ButtonsLeftToRight(dialog.get());
        ASSERT_EQ(buttons.size(), c.Expected.size());
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            EXPECT_EQ(FromQString(buttons[i]->objectName()), c.Expected[i].Name);
            EXPECT_EQ(FromQString(buttons[i]->text()), c.Expected[i].Caption);
        }
    }
}

TEST(MessageDialogButtons, OneRowOfEqualButtonsCentredUnderIconAndText) {
    for (const ButtonSetCase& c : ButtonSets) {
        SCOPED_TRACE(c.Meaning);
        auto dialog = Make("A message somewhat wider than a button", mtWarning, c.Buttons);
        const std::vector<QPushButton*> buttons = ButtonsLeftToRight(dialog.get());
        ASSERT_FALSE(buttons.empty());
        for (const QPushButton* button : buttons) {
            EXPECT_EQ(button->size(), buttons.front()->size()) << FromQString(button->objectName());
            EXPECT_EQ(button->y(), buttons.front()->y());
            EXPECT_GE(button->width(), button->sizeHint().width());
        }
        for (std::size_t i = 1; i < buttons.size(); ++i) {
            EXPECT_GT(buttons[i]->x(), buttons[i - 1]->geometry().right());
        }
        const int rowMiddle2 = buttons.front()->x() + buttons.back()->geometry().right() + 1;
        EXPECT_LE(std::abs(rowMiddle2 - dialog->width()), 1);
        EXPECT_GE(buttons.front()->x(), 0);
        EXPECT_LE(buttons.back()->geometry().right(), dialog->width() - 1);
        EXPECT_GT(buttons.front()->y(), MessageLabel(dialog.get())->geometry().bottom());
        EXPECT_GT(buttons.front()->y(), IconLabel(dialog.get())->geometry().bottom());
        EXPECT_LE(buttons.front()->geometry().bottom(), dialog->height() - 1);
    }
}

TEST(MessageDialogButtons, EachButtonAnswersWithItsResult) {
    for (const ButtonSetCase& c : ButtonSets) {
        for (const ButtonExpectation& expected : c.Expected) {
            if (expected.Result == mrNone) {
                continue;
            }
            SCOPED_TRACE(std::string(c.Meaning) + ": " + expected.Name);
            auto dialog = Make("Message", mtConfirmation, c.Buttons);
            const int result = ShowAndAnswer(*dialog, [&](TMessageForm& modal) {
                auto* button = modal.findChild<QPushButton*>(ToQString(expected.Name));
                ASSERT_NE(button, nullptr);
                QTest::mouseClick(button, Qt::LeftButton);
            });
            EXPECT_EQ(result, expected.Result);
            EXPECT_FALSE(dialog->isVisible());
        }
    }
}

TEST(MessageDialogButtons, HelpLeavesTheDialogOpen) {
    auto dialog = Make("Message", mtInformation, Set({mbOK, mbHelp}));
    const int result = ShowAndAnswer(*dialog, [](TMessageForm& modal) {
        QTest::mouseClick(modal.findChild<QPushButton*>(QStringLiteral("Help")), Qt::LeftButton);
        QApplication::processEvents();
        EXPECT_TRUE(modal.isVisible());
        EXPECT_EQ(modal.ModalResult(), mrNone);
        QTest::mouseClick(modal.findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
    });
    EXPECT_EQ(result, mrOk);
}

// ---- the window ----

struct KindCase {
    const char* Meaning;
    TMsgDlgType Kind;
    bool HasIcon;
    QStyle::StandardPixmap Icon;
    const char* Caption;
};

TEST(MessageDialogWindow, IconAndCaptionFollowTheKind) {
    const KindCase cases[] = {
        {"warning", mtWarning, true, QStyle::SP_MessageBoxWarning, "警告"},
        {"error", mtError, true, QStyle::SP_MessageBoxCritical, "エラー"},
        {"information", mtInformation, true, QStyle::SP_MessageBoxInformation, "情報"},
        {"confirmation", mtConfirmation, true, QStyle::SP_MessageBoxQuestion, "確認"},
        {"custom", mtCustom, false, QStyle::SP_MessageBoxWarning, ""},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.Meaning);
        auto dialog = Make("Message", c.Kind, Set({mbOK}));
        EXPECT_EQ(dialog->Caption(), c.Caption);
        QLabel* icon = IconLabel(dialog.get());
        QLabel* text = MessageLabel(dialog.get());
        ASSERT_NE(text, nullptr);
        if (!c.HasIcon) {
            EXPECT_EQ(icon, nullptr);
            continue;
        }
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(icon->size(), QSize(32, 32));
        EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));
        const QImage wanted = dialog->style()->standardIcon(c.Icon, nullptr, dialog.get()).pixmap(32, 32).toImage();
        EXPECT_EQ(icon->pixmap().toImage(), wanted);
        EXPECT_LT(icon->x(), 16);
        EXPECT_LT(icon->y(), 16);
        EXPECT_GT(text->x(), icon->geometry().right());
    }
}

TEST(MessageDialogWindow, FixedDialogWithOnlyACloseBoxBuiltHiddenInTheMiddleOfTheScreen) {
    auto dialog = Make("Message", mtWarning, Set({mbOK}));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_EQ(dialog->size(), dialog->minimumSize());
    const Qt::WindowFlags flags = dialog->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(dialog->Left(), (GetSystemMetrics(SM_CXSCREEN) - dialog->Width()) / 2);
    EXPECT_EQ(dialog->Top(), (GetSystemMetrics(SM_CYSCREEN) - dialog->Height()) / 2);
    EXPECT_EQ(MessageLabel(dialog.get())->font().pixelSize(), 12);
}

// ---- the message text ----

TEST(MessageDialogText, LineBreaksShowAsLinesAndALeadingOneAddsAnEmptyLine) {
    auto plain = Make("abc", mtWarning, Set({mbOK}));
    auto broken = Make("abc\r\ndef", mtWarning, Set({mbOK}));
    auto leading = Make("\r\nabc", mtWarning, Set({mbOK}));
    const QLabel* plainText = MessageLabel(plain.get());
    const QLabel* brokenText = MessageLabel(broken.get());
    const QLabel* leadingText = MessageLabel(leading.get());
    EXPECT_EQ(brokenText->text(), QStringLiteral("abc\ndef"));
    EXPECT_EQ(leadingText->text(), QStringLiteral("\nabc"));
    const int line = QFontMetrics(plainText->font()).lineSpacing();
    EXPECT_GE(plainText->height(), QFontMetrics(plainText->font()).height());
    EXPECT_EQ(brokenText->height(), plainText->height() + line);
    EXPECT_EQ(leadingText->height(), plainText->height() + line);
    EXPECT_EQ(leadingText->width(), plainText->width());
    // The icon is taller than one line: the extra line of text must still make the dialog taller.
    auto tall = Make("\r\n\r\n\r\nabc", mtWarning, Set({mbOK}));
    auto tallPlusOne = Make("\r\n\r\n\r\n\r\nabc", mtWarning, Set({mbOK}));
    EXPECT_EQ(tallPlusOne->Height(), tall->Height() + line);
    // Without an icon every line counts.
    auto custom = Make("abc", mtCustom, Set({mbOK}));
    auto customLeading = Make("\r\nabc", mtCustom, Set({mbOK}));
    EXPECT_EQ(customLeading->Height(), custom->Height() + line);
}

TEST(MessageDialogText, WrapsAtHalfTheScreenWidth) {
    const int limit = GetSystemMetrics(SM_CXSCREEN) / 2;
    AnsiString words;
    for (int i = 0; i < 200; ++i) {
        words += "word ";
    }
    auto wide = Make(words, mtInformation, Set({mbOK}));
    const QLabel* text = MessageLabel(wide.get());
    const QFontMetrics metrics(text->font());
    EXPECT_LE(text->width(), limit);
    // Filled close to the limit, not wrapped early.
    EXPECT_GT(text->width(), limit - 2 * metrics.horizontalAdvance(QStringLiteral("word ")));
    EXPECT_GT(text->height(), 3 * metrics.lineSpacing());
    // The label shows every line it was measured for.
    EXPECT_EQ(text->height(), text->heightForWidth(text->width()));
    EXPECT_GT(wide->Height(), text->height());

    auto narrow = Make("short", mtInformation, Set({mbOK}));
    const QLabel* shortText = MessageLabel(narrow.get());
    EXPECT_EQ(shortText->width(), QFontMetrics(shortText->font()).horizontalAdvance(QStringLiteral("short")));
    EXPECT_LT(narrow->Width(), wide->Width());
}

// ---- Enter and Escape ----

struct KeyCase {
    const char* Meaning;
    TMsgDlgButtons Buttons;
    int Enter;  // with no button focused; mrNone: nothing pressed
    int Escape; // mrNone: nothing pressed
};

const KeyCase KeyCases[] = {
    {"OK alone: both press OK", Set({mbOK}), mrOk, mrOk},
    {"Yes and No: Yes, then No", Set({mbYes, mbNo}), mrYes, mrNo},
    {"Yes, No and Cancel: Yes, then Cancel", Set({mbYes, mbNo, mbCancel}), mrYes, mrCancel},
    {"OK and Cancel", Set({mbOK, mbCancel}), mrOk, mrCancel},
    {"Yes and OK: OK is the default over Yes, and cancels", Set({mbYes, mbOK}), mrOk, mrOk},
    {"No and OK: No cancels before OK", Set({mbNo, mbOK}), mrOk, mrNo},
    {"Abort, Retry and Ignore: Retry, no cancel", Set({mbAbort, mbRetry, mbIgnore}), mrRetry, mrNone},
    {"Retry and Cancel", Set({mbRetry, mbCancel}), mrRetry, mrCancel},
    {"Ignore alone: neither key does anything", Set({mbIgnore}), mrNone, mrNone},
};

// Shown without its modal loop, so a key that presses nothing leaves a result of mrNone to look at.
std::unique_ptr<TMessageForm> ShownWithoutFocus(TMsgDlgButtons Buttons) {
    auto dialog = Make("Message", mtConfirmation, Buttons);
    dialog->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    if (QWidget* focused = dialog->focusWidget()) {
        focused->clearFocus();
    }
    EXPECT_EQ(dialog->focusWidget(), nullptr);
    return dialog;
}

TEST(MessageDialogKeys, EnterWithNoButtonFocusedPressesTheDefault) {
    for (const KeyCase& c : KeyCases) {
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            SCOPED_TRACE(std::string(c.Meaning) + (key == Qt::Key_Enter ? " (keypad)" : ""));
            auto dialog = ShownWithoutFocus(c.Buttons);
            QTest::keyClick(dialog.get(), key);
            EXPECT_EQ(dialog->ModalResult(), c.Enter);
        }
    }
}

TEST(MessageDialogKeys, EscapePressesTheCancelButtonWhereverTheFocusIs) {
    for (const KeyCase& c : KeyCases) {
        SCOPED_TRACE(c.Meaning);
        auto dialog = ShownWithoutFocus(c.Buttons);
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        EXPECT_EQ(dialog->ModalResult(), c.Escape);

        auto focused = ShownWithoutFocus(c.Buttons);
        QPushButton* last = ButtonsLeftToRight(focused.get()).back();
        last->setFocus();
        ASSERT_TRUE(last->hasFocus());
        QTest::keyClick(last, Qt::Key_Escape);
        EXPECT_EQ(focused->ModalResult(), c.Escape);
    }
}

TEST(MessageDialogKeys, EnterOnAFocusedButtonPressesThatButton) {
    const struct {
        const char* Meaning;
        TMsgDlgButtons Buttons;
        const char* Focus;
        int Result;
    } cases[] = {
        {"No rather than the default Yes", Set({mbYes, mbNo}), "No", mrNo},
        {"Cancel rather than the default OK", Set({mbOK, mbCancel}), "Cancel", mrCancel},
        {"Abort, which is neither default nor cancel", Set({mbAbort, mbRetry, mbIgnore}), "Abort", mrAbort},
        {"the default itself", Set({mbYes, mbNo, mbCancel}), "Yes", mrYes},
    };
    for (const auto& c : cases) {
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            SCOPED_TRACE(std::string(c.Meaning) + (key == Qt::Key_Enter ? " (keypad)" : ""));
            auto dialog = Make("Message", mtConfirmation, c.Buttons);
            const int result = ShowAndAnswer(*dialog, [&](TMessageForm& modal) {
                auto* button = modal.findChild<QPushButton*>(ToQString(c.Focus));
                ASSERT_NE(button, nullptr);
                button->setFocus();
                ASSERT_EQ(QApplication::focusWidget(), button);
                QTest::keyClick(button, key);
            });
            EXPECT_EQ(result, c.Result);
        }
    }
}

TEST(MessageDialogKeys, TheFirstButtonHasTheFocusWhenShown) {
    auto dialog = Make("Message", mtConfirmation, Set({mbCancel, mbNo, mbYes}));
    const int result = ShowAndAnswer(*dialog, [](TMessageForm& modal) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("Yes"));
        modal.SetModalResult(mrIgnore);
    });
    EXPECT_EQ(result, mrIgnore);
}

TEST(MessageDialogWindow, TheCloseBoxAnswersCancel) {
    auto dialog = Make("Message", mtWarning, Set({mbOK}));
    EXPECT_EQ(ShowAndAnswer(*dialog, [](TMessageForm& modal) { modal.close(); }), mrCancel);
}

} // namespace
