#include "support/AccessibilityProbe.h"
#include "support/ModalDriver.h"
#include "support/SheetFixture.h"

#include "tax/FR0020TX.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <algorithm>

namespace {

QAccessibleInterface* Accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

TEST_F(SheetTest, TheTotalFieldsAreReadOutUnderTheirCaptionsAndCannotBeEdited) {
    Enter(1, 1, QStringLiteral("1200"));
    Enter(2, 1, QStringLiteral("3"));
    DoubleClickCell(0, 1);
    const struct {
        QLineEdit* Field;
        const char* Caption;
        const char* Shown;
    } fields[] = {
        {Form->EdtGokei, "合計", "3,600"},
        {Form->EdtZeiKei, "税額", "180"},
        {Form->EdtSouKei, "総計", "3,780"},
        {Form->EdtSyokei, "小計", "3,600"},
    };
    for (const auto& f : fields) {
        QAccessibleInterface* field = Accessible(f.Field);
        EXPECT_EQ(AccessibleName(field), QString::fromUtf8(f.Caption));
        EXPECT_EQ(field->role(), QAccessible::EditableText) << f.Caption;
        EXPECT_TRUE(field->state().readOnly) << f.Caption;
        EXPECT_EQ(field->text(QAccessible::Value), QString::fromUtf8(f.Shown)) << f.Caption;
    }
}

TEST_F(SheetTest, TheMainFormIsAWindowAndTheRateFormADialogWithItsBoxNamed) {
    Application->CreateForm(FrmFR0020TX);
    const struct {
        QWidget* Form;
        QAccessible::Role Role;
        const char* Name;
    } forms[] = {{Form, QAccessible::Window, "Kalnor"}, {FrmFR0020TX, QAccessible::Dialog, "税率設定"}};
    for (const auto& f : forms) {
        EXPECT_EQ(Accessible(f.Form)->role(), f.Role) << f.Name;
        EXPECT_EQ(AccessibleName(Accessible(f.Form)), QString::fromUtf8(f.Name));
    }
    EXPECT_EQ(AccessibleName(Accessible(FrmFR0020TX->EdtZeiritu)), QStringLiteral("税率"));
}

TEST_F(SheetTest, TheSheetReadsAsATableOfWhatItShows) {
    QAccessibleInterface* sheet = Accessible(Grid());
    QAccessibleTableInterface* table = sheet->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 100);
    EXPECT_EQ(table->columnCount(), 3);
    const char* headers[] = {"単価", "数量", "金額"};
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(table->columnDescription(c), QString::fromUtf8(headers[c]));
    }
    EXPECT_EQ(table->rowDescription(0), QStringLiteral("1"));
    EXPECT_EQ(table->rowDescription(99), QStringLiteral("100"));

    AccessibilityProbe probe;
    Enter(1, 1, QStringLiteral("1200"));
    Enter(2, 1, QStringLiteral("3"));
    EXPECT_EQ(AccessibleName(table->cellAt(0, 0)), QStringLiteral("1,200"));
    EXPECT_EQ(AccessibleName(table->cellAt(0, 1)), QStringLiteral("3"));
    EXPECT_EQ(AccessibleName(table->cellAt(0, 2)), QStringLiteral("3,600"));
    const std::vector<QString> changed = probe.NamesOf(QAccessible::NameChanged);
    EXPECT_NE(std::find(changed.begin(), changed.end(), QStringLiteral("3,600")), changed.end())
        << "the computed amount is announced";

    DoubleClickCell(0, 1);
    EXPECT_EQ(table->rowDescription(0), QStringLiteral("* 1"));
    EXPECT_EQ(probe.NamesOf(QAccessible::NameChanged).back(), QStringLiteral("* 1"));
}

TEST_F(SheetTest, TheClearQuestionIsAnAlertWithItsTextAndButtons) {
    AccessibilityProbe probe;
    AnswerNextModal([](QWidget* modal) {
        QAccessibleInterface* alert = Accessible(modal);
        EXPECT_EQ(alert->role(), QAccessible::AlertMessage);
        EXPECT_EQ(AccessibleName(alert), QStringLiteral("Kalnor"));
        EXPECT_EQ(alert->text(QAccessible::Description), QStringLiteral("消去します。よろしいですか？"));
        EXPECT_EQ(AccessibleName(Accessible(modal->findChild<QLabel*>(QStringLiteral("Message")))),
                  QStringLiteral("消去します。よろしいですか？"));
        const struct {
            const char* Object;
            const char* Name;
            const char* Key;
        } buttons[] = {{"Yes", "はい", "Alt+Y"}, {"No", "いいえ", "Alt+N"}};
        for (const auto& b : buttons) {
            QAccessibleInterface* button = Accessible(modal->findChild<QPushButton*>(QString::fromLatin1(b.Object)));
            ASSERT_NE(button, nullptr) << b.Object;
            EXPECT_EQ(button->role(), QAccessible::Button);
            EXPECT_EQ(AccessibleName(button), QString::fromUtf8(b.Name));
            EXPECT_EQ(button->parent(), alert);
            QAccessibleActionInterface* actions = button->actionInterface();
            ASSERT_NE(actions, nullptr);
            EXPECT_EQ(actions->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
                      QStringList{QString::fromLatin1(b.Key)});
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    Press(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(probe.NamesOf(QAccessible::Alert), std::vector<QString>{QStringLiteral("Kalnor")});
}

TEST_F(SheetTest, MenuItemsTellTheirShortcuts) {
    QAccessibleInterface* edit = Accessible(Form->MnuEdit);
    ASSERT_NE(edit, nullptr);
    ASSERT_EQ(edit->childCount(), 2);
    const struct {
        const char* Name;
        const char* Shortcut;
    } items[] = {{"クリア(C)", "Ctrl+D"}, {"小計対象クリア(S)", "Ctrl+Q"}};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(AccessibleName(edit->child(i)), QString::fromUtf8(items[i].Name));
        EXPECT_EQ(edit->child(i)->text(QAccessible::Accelerator), QString::fromLatin1(items[i].Shortcut));
    }
}

} // namespace
