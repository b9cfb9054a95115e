#include "support/ModalDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

void AnswerNextModal(std::function<void(QWidget* Modal)> Action, int TimeoutMs) {
    auto* poll = new QTimer;
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(poll, &QTimer::timeout, [poll, waited, Action = std::move(Action), TimeoutMs] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            QApplication::setActiveWindow(modal); // as the window manager activates a new window
            Action(modal);
        } else if (waited->elapsed() > TimeoutMs) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "no modal window came up";
        }
    });
    poll->start(10);
}

bool ModalIsUp() {
    return QApplication::activeModalWidget() != nullptr;
}
