#include "ui/EditFilter.h"

#include "platform/CodePage.h"
#include "platform/QtText.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A box wired as the dialogs wire theirs: every change of its text goes through the filter.
class EditFilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        LastEditText.clear();
        Box = std::make_unique<QLineEdit>();
        Box->show();
        QApplication::setActiveWindow(Box.get());
        Box->setFocus();
    }
    void TearDown() override {
        Box.reset();
        LastEditText.clear();
        SetACP(CP_UTF8);
    }

    void Wire(const AnsiString& Set, bool AllowOnly) {
        QObject::connect(Box.get(), &QLineEdit::textChanged, Box.get(),
                         [this, Set, AllowOnly] { FilterEditChars(Box.get(), Set, AllowOnly); });
    }
    // Written by the program, through the filter like typed text.
    void Write(const AnsiString& Text) { Box->setText(ToQString(Text)); }
    void Type(const QString& Text) {
        for (const QChar c : Text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(Box.get(), c.toLatin1());
            } else {
                QTest::sendKeyEvent(QTest::Click, Box.get(), Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
        }
    }
    void Paste(const QString& Text) {
        QGuiApplication::clipboard()->setText(Text);
        QTest::keyClick(Box.get(), Qt::Key_V, Qt::ControlModifier);
    }
    AnsiString Text() const { return FromQString(Box->text()); }

    std::unique_ptr<QLineEdit> Box;
};

const AnsiString Digits = "0123456789.";

// Each row starts from an accepted text with the caret placed, optionally all selected, and types one
// character the digits refuse.
struct TypedRefusal {
    const char* Meaning;
    const char* Start;
    int Caret;
    bool SelectAll;
    const char* Typed;
    int ExpectedCaret;
};

class TypedIntoDigitsTest : public EditFilterTest, public ::testing::WithParamInterface<TypedRefusal> {};

TEST_P(TypedIntoDigitsTest, TheLastTextComesBackWithTheCaretWhereTheCharacterWent) {
    const TypedRefusal& row = GetParam();
    Wire(Digits, true);
    Write(row.Start);
    ASSERT_EQ(LastEditText, row.Start);
    Box->setCursorPosition(row.Caret);
    if (row.SelectAll) {
        Box->selectAll();
    }
    Type(QString::fromUtf8(row.Typed));
    EXPECT_EQ(Text(), row.Start);
    EXPECT_EQ(Box->cursorPosition(), row.ExpectedCaret);
    EXPECT_FALSE(Box->hasSelectedText());
    EXPECT_EQ(LastEditText, row.Start);
}

INSTANTIATE_TEST_SUITE_P(Refusals, TypedIntoDigitsTest,
                         ::testing::Values(TypedRefusal{"LetterAtTheEnd", "0.05", 4, false, "a", 4},
                                           TypedRefusal{"LetterInTheMiddle", "0.05", 2, false, "x", 2},
                                           TypedRefusal{"MinusAtTheStart", "0.05", 0, false, "-", 0},
                                           TypedRefusal{"FullWidthDigitInTheMiddle", "0.05", 2, false, "１", 2},
                                           TypedRefusal{"HalfWidthKatakana", "0.05", 1, false, "ｱ", 1},
                                           TypedRefusal{"LetterOverTheWholeText", "0.05", 4, true, "a", 0}),
                         [](const ::testing::TestParamInfo<TypedRefusal>& row) {
                             return std::string(row.param.Meaning);
                         });

TEST_F(EditFilterTest, TypedDigitsAndDeletionsAreAccepted) {
    Wire(Digits, true);
    Type(QStringLiteral("0.1"));
    EXPECT_EQ(Text(), "0.1");
    EXPECT_EQ(LastEditText, "0.1");
    Box->selectAll();
    QTest::keyClick(Box.get(), Qt::Key_Backspace);
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(LastEditText, "") << "an empty text is accepted and kept";
}

// Rows written by the program, each after an accepted text.
struct WrittenText {
    const char* Meaning;
    const char* Before;
    const char* Written;
    const char* Shown;
    int Caret; // -1: not looked at
};

class WrittenIntoDigitsTest : public EditFilterTest, public ::testing::WithParamInterface<WrittenText> {};

TEST_P(WrittenIntoDigitsTest, OnlyDigitsAndPointsPass) {
    const WrittenText& row = GetParam();
    Wire(Digits, true);
    Write(row.Before);
    Write(row.Written);
    EXPECT_EQ(Text(), row.Shown);
    EXPECT_EQ(LastEditText, row.Shown);
    if (row.Caret >= 0) {
        EXPECT_EQ(Box->cursorPosition(), row.Caret);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WrittenIntoDigitsTest,
    ::testing::Values(WrittenText{"SeveralPointsPass", "0.05", "1.2.3", "1.2.3", -1},
                      WrittenText{"ALonePointPasses", "0.05", ".", ".", -1},
                      WrittenText{"NegativeRefusedAtItsFirstByte", "0.05", "-0.05", "0.05", 0},
                      WrittenText{"FullWidthDigitRefusedAtItsFirstByte", "12", "1１", "12", 1},
                      WrittenText{"RefusalBeyondTheOldTextPutsTheCaretAtItsEnd", "7", "1234a", "7", 1}),
    [](const ::testing::TestParamInfo<WrittenText>& row) { return std::string(row.param.Meaning); });

TEST_F(EditFilterTest, PastingIntoAnEmptyBoxWithNothingKeptEmptiesIt) {
    Wire(Digits, true);
    Paste(QStringLiteral("1a2"));
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(Box->cursorPosition(), 0);
    EXPECT_EQ(LastEditText, "");
}

TEST_F(EditFilterTest, APasteRefusedBeyondTheKeptTextLeavesTheCaretAtItsEnd) {
    Wire(Digits, true);
    Type(QStringLiteral("7"));
    Box->selectAll();
    Paste(QStringLiteral("123a"));
    EXPECT_EQ(Text(), "7");
    EXPECT_EQ(Box->cursorPosition(), 1);
    EXPECT_FALSE(Box->hasSelectedText());
}

// The kept text need not pass itself: the restore runs the filter again, which refuses it in turn
// and, writing the same text, raises no further change.
TEST_F(EditFilterTest, AKeptTextThatIsRefusedItselfEndsAfterOneNestedRound) {
    Box->setText(QStringLiteral("ab"));
    SaveEditText(Box.get());
    ASSERT_EQ(LastEditText, "ab");
    Wire(Digits, true);
    int changes = 0;
    QObject::connect(Box.get(), &QLineEdit::textChanged, Box.get(), [&changes] { ++changes; });
    Box->setCursorPosition(2);
    Type(QStringLiteral("1"));
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(Box->cursorPosition(), 0) << "the outer round puts the caret where its own refused byte was";
    EXPECT_EQ(changes, 2) << "the typed text, then the restore";
    EXPECT_EQ(LastEditText, "ab");
}

TEST_F(EditFilterTest, SaveEditTextKeepsTheTextAsItStands) {
    Box->setText(QStringLiteral("税 1"));
    SaveEditText(Box.get());
    EXPECT_EQ(LastEditText, "税 1");
    Box->clear();
    SaveEditText(Box.get());
    EXPECT_EQ(LastEditText, "");
}

TEST_F(EditFilterTest, DenyListRefusesItsMembersWhereverTyped) {
    Wire("-", false);
    Type(QStringLiteral("12"));
    Box->setCursorPosition(1);
    Type(QStringLiteral("-"));
    EXPECT_EQ(Text(), "12");
    EXPECT_EQ(Box->cursorPosition(), 1);
    Type(QStringLiteral("a"));
    EXPECT_EQ(Text(), "1a2") << "anything outside the set passes";
    EXPECT_EQ(LastEditText, "1a2");
}

// The refused byte's offset counts bytes; the caret counts characters of the restored text.
TEST_F(EditFilterTest, TheCaretOffsetIsConvertedFromBytesToCharacters) {
    Wire("-", false);
    Write("ポ1");
    Box->setCursorPosition(2);
    Type(QStringLiteral("-"));
    EXPECT_EQ(Text(), "ポ1");
    EXPECT_EQ(Box->cursorPosition(), 2) << "byte 5 of the text follows ポ (3 bytes) and 1";
    Box->setCursorPosition(1);
    Type(QStringLiteral("-"));
    EXPECT_EQ(Box->cursorPosition(), 1);
}

TEST_F(EditFilterTest, UnderShiftJisATrailByteIsNoMember) {
    SetACP(CP_SHIFT_JIS);
    Wire("|", false);
    Write("\x83\x7C"); // ポ
    EXPECT_EQ(Box->text(), QString::fromUtf8("ポ"));
    EXPECT_EQ(LastEditText, "\x83\x7C") << "its trail byte is the code of |";
    Type(QStringLiteral("|"));
    EXPECT_EQ(Text(), "\x83\x7C") << "a lone | is a member";
    EXPECT_EQ(Box->cursorPosition(), 1) << "byte 3 follows the two bytes of the one character";
    EXPECT_EQ(LastEditText, "\x83\x7C");
}

TEST_F(EditFilterTest, UnderShiftJisHalfWidthKatakanaIsASingleRefusedByte) {
    SetACP(CP_SHIFT_JIS);
    Wire(Digits, true);
    Write("12");
    Box->setCursorPosition(1);
    Type(QStringLiteral("ｱ"));
    EXPECT_EQ(Text(), "12");
    EXPECT_EQ(Box->cursorPosition(), 1);
}

TEST_F(EditFilterTest, AnEmptyAllowListRefusesAnyTextAtItsFirstByte) {
    Box->setText(QStringLiteral("12"));
    SaveEditText(Box.get());
    Wire("", true);
    Box->setCursorPosition(2);
    Type(QStringLiteral("3"));
    EXPECT_EQ(Text(), "12");
    EXPECT_EQ(Box->cursorPosition(), 0);
    Box->clear();
    EXPECT_EQ(LastEditText, "") << "only the empty text passes";
}

TEST_F(EditFilterTest, AnEmptyDenyListPassesEverything) {
    Wire("", false);
    Write("a-|ポ１");
    EXPECT_EQ(Text(), "a-|ポ１");
    EXPECT_EQ(LastEditText, "a-|ポ１");
}

} // namespace
