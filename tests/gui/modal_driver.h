#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// Plays the user of a modal window from inside its own event loop: as soon
// as a modal window of type T is up, runs the step on it. Schedule the step
// before the call that opens the window. A window that never appears fails
// the test, and whatever modal window is up then is closed, so no test hangs.
// The step must close the window (OK, キャンセル, ...).
template <class T>
void WhenModal(std::function<void(T*)> step)
{
    auto* poll = new QTimer();
    auto since = std::make_shared<QElapsedTimer>();
    since->start();
    QObject::connect(poll, &QTimer::timeout, [poll, since, step = std::move(step)] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            QPointer<T> guard(window);
            step(window);
            // A step that fails half-way must not leave the test waiting.
            if (guard && guard->isVisible()) {
                ADD_FAILURE() << "the step left the " << T::staticMetaObject.className() << " open";
                guard->reject();
            }
        } else if (since->elapsed() > 5000) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "no modal " << T::staticMetaObject.className() << " appeared";
            if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                other->reject();
        }
    });
    poll->start(5);
}

// Whether a click on the window reaches it, as it does unless a modal
// window blocks it.
inline bool TakesClicks(QWidget* window)
{
    struct PressCounter final : QObject
    {
        int presses = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            presses += event->type() == QEvent::MouseButtonPress ? 1 : 0;
            return false;
        }
    } counter;
    window->installEventFilter(&counter);
    for (QWidget* child : window->findChildren<QWidget*>())
        child->installEventFilter(&counter);
    // A corner: no link or button of the window is hit.
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, QPoint(2, 2));
    return counter.presses > 0;
}
