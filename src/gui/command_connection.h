#pragma once

#include "gui/quillmoor_application.h"

#include <QAction>

// Makes a window's method the handler of a command. An error the handler
// raises reaches the user's error display and stops there.
template <typename Window>
void ConnectCommand(QAction* action, Window* window, void (Window::*handler)())
{
    QObject::connect(action, &QAction::triggered, window, [window, handler] {
        TQuillmoorApplication::RunShowingErrors([&] { (window->*handler)(); });
    });
}
