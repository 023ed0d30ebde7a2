#pragma once

#include <functional>

class QObject;

// Runs the function on the thread of `context` (the main thread, for every
// caller here) and waits until it has run. An exception the function throws
// comes back and is rethrown in the caller; it never unwinds through the
// event loop. Called on the context's own thread, the function just runs.
//
// The main thread must keep serving events while a worker waits here: it
// never blocks on a worker without processing events (see TSearchDriver).
void CallOnMainThread(QObject* context, const std::function<void()>& function);
