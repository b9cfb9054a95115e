#pragma once

// Forms and the application object: windows with outer geometry, modal showing with a modal
// result, deferred release, and a queue of window messages that the application's OnMessage hook
// sees before they are dispatched to their window.

#include "platform/AnsiString.h"
#include "platform/Classes.h"
#include "platform/Exceptions.h"
#include "platform/Messages.h"

#include <QApplication>
#include <QMargins>
#include <QPointer>
#include <QWidget>

#include <exception>
#include <functional>
#include <vector>

class QEventLoop;

enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};

// Puts a control at its designed bounds (client pixels of its parent).
template <typename Control> Control* Place(Control* control, int left, int top, int width, int height) {
    control->setGeometry(left, top, width, height);
    return control;
}

class TForm : public QWidget {
    Q_OBJECT

public:
    explicit TForm(QWidget* Owner = nullptr);

    // Outer position and size, frame included.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int Value);
    void SetTop(int Value);

    AnsiString Caption() const;
    void SetCaption(const AnsiString& Value);

    // The control that has the focus when the form is shown.
    QWidget* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(QWidget* Control) { FActiveControl = Control; }
    // The child whose name matches, without regard to ASCII letter case.
    QWidget* FindComponent(const AnsiString& Name) const;

    // Shows the form with the application's other windows disabled until a non-zero modal result
    // closes it; returns that result.
    int ShowModal();
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value);
    // Closes a modal form with mrCancel, ends the application when it is the main form, else hides it.
    void Close();
    // Deletes the form once the event being handled is done.
    void Release();

    // Every message sent or posted to the form passes through here.
    virtual void Dispatch(TMessage& Message);
    // The system's default processing: system commands minimise, restore or close the form itself.
    virtual void DefaultHandler(TMessage& Message);

    std::function<void(TObject* Sender)> OnCreate;
    std::function<void(TObject* Sender)> OnShow;

    // Runs OnCreate; a failure in it is handled by the application and creation goes on.
    void DoCreate();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QMargins Frame() const;

    QWidget* FActiveControl = nullptr;
    QEventLoop* FModalLoop = nullptr;
    int FModalResult = mrNone;
};

class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    AnsiString Title() const;
    void SetTitle(const AnsiString& Value);
    void Initialize() {}

    // Constructs the form owned by the application and stores it in Reference before its OnCreate
    // runs; the first form created becomes the main form. A failed construction leaves Reference
    // empty and passes the failure on.
    template <typename TFormClass> void CreateForm(TFormClass*& Reference) {
        Reference = nullptr;
        Reference = new TFormClass(nullptr);
        Adopt(Reference);
        Reference->DoCreate();
        if (!FMainForm) {
            FMainForm = Reference;
        }
    }
    TForm* MainForm() const { return FMainForm.data(); }
    // The hidden application window: it stands for the program on the task bar and owns its forms.
    HWND Handle() const { return FHandle; }

    // Shows the main form and runs the message loop until Terminate; a failure raised by the
    // OnMessage hook ends the loop and is thrown from here.
    void Run();
    void Terminate();

    std::function<void(TMsg& Msg, bool& Handled)> OnMessage;

    // The stop box: the message and ".", captioned with the title, with one OK button.
    void ShowException(const std::exception& E);
    // What happens to a failure that escapes an event handler: EAbort is dropped, others shown.
    void HandleException(const std::exception& E);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void Adopt(TForm* Form);
    bool DeliverQueuedMessage(QObject* receiver, QEvent* event);

    AnsiString FTitle;
    QWidget* FHandle;
    QPointer<TForm> FMainForm;
    std::vector<QPointer<QWidget>> FForms;
    std::exception_ptr FHookFailure;
};

extern TApplication* Application;
