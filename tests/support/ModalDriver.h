#pragma once

#include <functional>

class QWidget;

// Runs Action on the next modal window as soon as it is up, from within its modal loop; a modal
// window that does not come within TimeoutMs fails the test instead of blocking it.
void AnswerNextModal(std::function<void(QWidget* Modal)> Action, int TimeoutMs = 5000);

// True when a modal window is up now.
bool ModalIsUp();
