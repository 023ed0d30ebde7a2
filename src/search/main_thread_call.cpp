#include "search/main_thread_call.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <exception>

void CallOnMainThread(QObject* context, const std::function<void()>& function)
{
    if (QThread::currentThread() == context->thread()) {
        function();
        return;
    }
    std::exception_ptr failure;
    QMetaObject::invokeMethod(
        context,
        [&] {
            try {
                function();
            } catch (...) {
                failure = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (failure)
        std::rethrow_exception(failure);
}
