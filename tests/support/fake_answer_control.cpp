#include "support/fake_answer_control.h"

void FakeAnswerControl::SetDelay(std::chrono::milliseconds delay)
{
    std::lock_guard lock(mutex_);
    delay_ = delay;
}

void FakeAnswerControl::AnswerStatus(int status)
{
    std::lock_guard lock(mutex_);
    plan_.status = status;
}

void FakeAnswerControl::ServeBody(const QByteArray& body)
{
    std::lock_guard lock(mutex_);
    plan_.body = body;
}

FakeAnswerControl::TPlan FakeAnswerControl::Wait()
{
    std::unique_lock lock(mutex_);
    stopped_.wait_for(lock, delay_, [this] { return stopping_; });
    return plan_;
}

void FakeAnswerControl::Stop()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
}
