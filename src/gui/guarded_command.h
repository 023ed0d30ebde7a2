#pragma once

#include "gui/quillmoor_application.h"
#include "util/error.h"

#include <utility>

// Wraps a command handler so that an exception it raises is shown to the user
// and goes no further: it never unwinds through Qt's signal delivery, which
// is not made for exceptions. Connect commands as
//   connect(action, &QAction::triggered, this, GuardedCommand([this] { ... }));
template <typename Handler>
auto GuardedCommand(Handler handler)
{
    return [handler = std::move(handler)](auto&&...) {
        try {
            handler();
        } catch (const QuillmoorError& error) {
            TQuillmoorApplication::ShowError(error);
        } catch (const std::exception& error) {
            TQuillmoorApplication::ShowException(QString::fromUtf8(error.what()));
        }
    };
}
