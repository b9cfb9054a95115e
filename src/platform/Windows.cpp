#include "platform/Windows.h"

#include "platform/Forms.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

int programStateChanges = 0;
QElapsedTimer sinceProgramStateChange;

// The window system confirms a state the program set a moment later, as if it had changed again.
constexpr qint64 ConfirmationMilliseconds = 500;

QWidget* TargetOf(HWND hWnd) {
    if (Application && hWnd == Application->Handle()) {
        return Application->MainForm();
    }
    return hWnd;
}

} // namespace

bool ProgramChangesWindowState(bool spontaneous) {
    return programStateChanges > 0 || (spontaneous && sinceProgramStateChange.isValid() &&
                                       sinceProgramStateChange.elapsed() < ConfirmationMilliseconds);
}

BOOL SetForegroundWindow(HWND hWnd) {
    QWidget* target = TargetOf(hWnd);
    if (!target) {
        return FALSE;
    }
    target->raise();
    target->activateWindow();
    return TRUE;
}

BOOL SetWindowPos(HWND hWnd, HWND, int X, int Y, int cx, int cy, UINT) {
    if (!hWnd) {
        return FALSE;
    }
    // The application window is never shown; its geometry is kept for whoever asks.
    hWnd->setGeometry(X, Y, cx, cy);
    return TRUE;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    QWidget* target = TargetOf(hWnd);
    if (!target) {
        return FALSE;
    }
    const bool wasVisible = target->isVisible();
    ++programStateChanges;
    if (nCmdShow == SW_MINIMIZE) {
        target->showMinimized();
    } else if (nCmdShow == SW_RESTORE) {
        target->showNormal();
    }
    --programStateChanges;
    sinceProgramStateChange.start();
    return wasVisible ? TRUE : FALSE;
}

int GetSystemMetrics(int nIndex) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return 0;
    }
    switch (nIndex) {
    case SM_CXSCREEN:
        return screen->geometry().width();
    case SM_CYSCREEN:
        return screen->geometry().height();
    default:
        return 0;
    }
}

void ApplicationWindowProc(TMessage& Message) {
    if (Message.Msg != WM_SYSCOMMAND) {
        return;
    }
    switch (Message.WParam & 0xFFF0) {
    case SC_MINIMIZE:
        ShowWindow(Application->Handle(), SW_MINIMIZE);
        break;
    case SC_RESTORE:
        ShowWindow(Application->Handle(), SW_RESTORE);
        break;
    case SC_CLOSE:
        if (Application->MainForm()) {
            Application->MainForm()->close();
        }
        break;
    default:
        break;
    }
}
