#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Acts on the next modal dialog of the given kind as soon as it is running,
// so that a test can drive a command that opens one and waits for it.
// Gives up after about five seconds; the dialog then stays open and the
// test's own expectations fail.
template <typename Dialog>
void OnNextModal(std::function<void(Dialog*)> act, int triesLeft = 500)
{
    QTimer::singleShot(10, [act = std::move(act), triesLeft] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget()); dialog && dialog->isVisible())
            act(dialog);
        else if (triesLeft > 0)
            OnNextModal<Dialog>(act, triesLeft - 1);
    });
}
