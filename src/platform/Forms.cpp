#include "platform/Forms.h"

#include "platform/Accessible.h"
#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "platform/Windows.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QPointer>
#include <QShowEvent>
#include <QWindow>
#include <QWindowStateChangeEvent>

TApplication* Application = nullptr;

namespace {

// A posted window message waiting in Qt's queue.
class TQueuedMessage : public QEvent {
public:
    static QEvent::Type Kind() {
        static const auto kind = static_cast<QEvent::Type>(QEvent::registerEventType());
        return kind;
    }
    explicit TQueuedMessage(const TMsg& msg) : QEvent(Kind()), Msg(msg) {}
    TMsg Msg;
};

} // namespace

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!hWnd) {
        return FALSE;
    }
    TMsg msg;
    msg.hwnd = hWnd;
    msg.message = Msg;
    msg.wParam = wParam;
    msg.lParam = lParam;
    QCoreApplication::postEvent(hWnd, new TQueuedMessage(msg));
    return TRUE;
}

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{Msg, wParam, lParam, 0};
    if (auto* form = qobject_cast<TForm*>(hWnd)) {
        form->Dispatch(message);
    } else if (Application && hWnd == Application->Handle()) {
        ApplicationWindowProc(message);
    }
    return message.Result;
}

TForm::TForm(QWidget* Owner) : QWidget(Owner, Qt::Window) {}

// The window system's frame around the client area, known once the window exists, shown or not.
QMargins TForm::Frame() const {
    const_cast<TForm*>(this)->winId();
    return windowHandle() ? windowHandle()->frameMargins() : QMargins();
}

int TForm::Left() const {
    return geometry().x() - Frame().left();
}
int TForm::Top() const {
    return geometry().y() - Frame().top();
}
int TForm::Width() const {
    return geometry().width() + Frame().left() + Frame().right();
}
int TForm::Height() const {
    return geometry().height() + Frame().top() + Frame().bottom();
}

void TForm::SetLeft(int Value) {
    QRect client = geometry();
    client.moveLeft(Value + Frame().left());
    setGeometry(client);
}

void TForm::SetTop(int Value) {
    QRect client = geometry();
    client.moveTop(Value + Frame().top());
    setGeometry(client);
}

AnsiString TForm::Caption() const {
    return FromQString(windowTitle());
}
void TForm::SetCaption(const AnsiString& Value) {
    setWindowTitle(ToQString(Value));
}

QWidget* TForm::FindComponent(const AnsiString& Name) const {
    const QString name = ToQString(Name);
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) {
            return child;
        }
    }
    return nullptr;
}

int TForm::ShowModal() {
    setWindowModality(Qt::ApplicationModal);
    FModalResult = mrNone;
    show();
    QEventLoop loop;
    FModalLoop = &loop;
    if (FModalResult == mrNone) {
        loop.exec(QEventLoop::DialogExec);
    }
    FModalLoop = nullptr;
    hide();
    return FModalResult;
}

void TForm::SetModalResult(int Value) {
    FModalResult = Value;
    if (Value != mrNone && FModalLoop) {
        FModalLoop->quit();
    }
}

void TForm::Close() {
    close();
}

void TForm::Release() {
    deleteLater();
}

void TForm::Dispatch(TMessage& Message) {
    DefaultHandler(Message);
}

void TForm::DefaultHandler(TMessage& Message) {
    if (Message.Msg != WM_SYSCOMMAND) {
        return;
    }
    switch (Message.WParam & 0xFFF0) {
    case SC_MINIMIZE:
        ShowWindow(this, SW_MINIMIZE);
        break;
    case SC_RESTORE:
        ShowWindow(this, SW_RESTORE);
        break;
    case SC_CLOSE:
        close();
        break;
    default:
        break;
    }
}

void TForm::DoCreate() {
    if (!OnCreate) {
        return;
    }
    try {
        OnCreate(this);
    } catch (const std::exception& failure) {
        Application->HandleException(failure);
    }
}

void TForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    if (FActiveControl) {
        FActiveControl->setFocus(Qt::OtherFocusReason);
    }
    if (OnShow) {
        OnShow(this);
    }
}

void TForm::closeEvent(QCloseEvent* event) {
    event->accept();
    if (FModalLoop) {
        SetModalResult(mrCancel); // the close box answers a modal form with Cancel
    } else if (Application && this == Application->MainForm()) {
        Application->Terminate();
    }
}

// The window manager minimises and restores on its own; report it as the system would: the
// minimise box sends the form a system command, a restore from the task bar posts one to the
// application window.
void TForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || ProgramChangesWindowState(event->spontaneous())) {
        return;
    }
    const bool wasMinimized = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
    const bool isMinimized = windowState() & Qt::WindowMinimized;
    if (!wasMinimized && isMinimized) {
        SendMessageA(this, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (wasMinimized && !isMinimized && Application) {
        PostMessageA(Application->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    }
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv), FHandle(new QWidget) {
    Application = this;
    setQuitOnLastWindowClosed(false);
    InstallAccessibleFactory();
}

TApplication::~TApplication() {
    for (auto it = FForms.rbegin(); it != FForms.rend(); ++it) {
        delete it->data();
    }
    delete FHandle;
    Application = nullptr;
}

AnsiString TApplication::Title() const {
    return FTitle;
}

void TApplication::SetTitle(const AnsiString& Value) {
    FTitle = Value.substr(0, 255);
    FHandle->setWindowTitle(ToQString(FTitle));
}

void TApplication::Adopt(TForm* Form) {
    FForms.emplace_back(Form);
    Form->winId();
}

void TApplication::Run() {
    if (FMainForm) {
        FMainForm->show();
    }
    exec();
    if (FHookFailure) {
        std::rethrow_exception(std::exchange(FHookFailure, nullptr));
    }
}

void TApplication::Terminate() {
    quit();
}

void TApplication::ShowException(const std::exception& E) {
    std::unique_ptr<TMessageForm> box(CreateMessageDialog(AnsiString(E.what()) + ".", mtError, 1u << mbOK));
    box->SetCaption(Title());
    box->ShowModal();
}

void TApplication::HandleException(const std::exception& E) {
    if (dynamic_cast<const EAbort*>(&E)) {
        return;
    }
    ShowException(E);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    if (event->type() == TQueuedMessage::Kind()) {
        return DeliverQueuedMessage(receiver, event);
    }
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        HandleException(failure);
        return true;
    }
}

bool TApplication::DeliverQueuedMessage(QObject*, QEvent* event) {
    TMsg msg = static_cast<TQueuedMessage*>(event)->Msg;
    bool handled = false;
    if (OnMessage) {
        try {
            OnMessage(msg, handled);
        } catch (...) {
            // A failing hook ends the loop, as it would end the program's entry.
            FHookFailure = std::current_exception();
            exit(0);
            return true;
        }
    }
    if (!handled) {
        try {
            SendMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        } catch (const std::exception& failure) {
            HandleException(failure);
        }
    }
    return true;
}
