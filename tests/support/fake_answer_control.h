#pragma once

#include <QByteArray>

#include <chrono>
#include <condition_variable>
#include <mutex>

// What a test can tell a fake web service to do with every later request:
// wait first, answer with an error status, or answer bytes of the test's.
// Thread-safe; Stop() cuts every wait short, so a test never hangs in its
// teardown.
class FakeAnswerControl final
{
public:
    // What to answer a request with.
    struct TPlan
    {
        int status = 0;  // 0: answer normally
        QByteArray body; // null: the fake's own answer
    };

    void SetDelay(std::chrono::milliseconds delay);
    void AnswerStatus(int status);
    void ServeBody(const QByteArray& body);

    // Waits out the delay (or until Stop()) and says what to answer.
    TPlan Wait();
    void Stop();

private:
    std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    std::chrono::milliseconds delay_{0};
    TPlan plan_;
};
