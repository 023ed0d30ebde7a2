#include "search/main_thread_call.h"

#include "util/thread_annotations.h"

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
    MarkHandOver(&failure);
    QMetaObject::invokeMethod(
        context,
        [&] {
            MarkTakeOver(&failure);
            try {
                function();
            } catch (...) {
                failure = std::current_exception();
            }
            MarkHandOver(&failure);
        },
        Qt::BlockingQueuedConnection);
    MarkTakeOver(&failure);
    if (failure)
        std::rethrow_exception(failure);
}
