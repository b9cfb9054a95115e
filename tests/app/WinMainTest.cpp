#include "app/FR0010MN.h"
#include "app/WinMain.h"
#include "platform/ModulePath.h"
#include "platform/QtText.h"
#include "tax/FR0020TX.h"
#include "support/ModalDriver.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

const AnsiString MutexName; // the guard is off, as in the program

namespace {

// State: the program running its loop. Action: the message hook fails.
// Expected: the stop box with the message and ".", captioned "Kalnor"; then the entry returns 0.
TEST(WinMain, AFailureThatEndsTheLoopIsShownAndTheEntryReturnsZero) {
    QTemporaryDir dir;
    SetModuleFileNameOverride(dir.filePath(QStringLiteral("kalnor")).toStdString());
    bool shown = false;
    QTimer::singleShot(0, [] {
        Application->OnMessage = [](TMsg&, bool&) { throw Exception("hook failed"); };
        PostMessageA(Application->MainForm(), WM_SYSCOMMAND, SC_RESTORE, 0);
    });
    AnswerNextModal([&shown](QWidget* modal) {
        shown = true;
        EXPECT_EQ(FromQString(modal->windowTitle()), "Kalnor");
        AnsiString text;
        for (const QLabel* label : modal->findChildren<QLabel*>()) {
            text += FromQString(label->text());
        }
        EXPECT_NE(text.find("hook failed."), AnsiString::npos);
        QTest::keyClick(modal, Qt::Key_Return);
    });
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_TRUE(shown);
    Application->OnMessage = nullptr;
    delete FrmFR0020TX;
    delete FrmFR0010MN;
    SetModuleFileNameOverride(AnsiString());
}

} // namespace
