#include "platform/close_signals.h"

#include <atomic>
#include <csignal>
#include <signal.h>

namespace platform {

namespace {

constexpr int kCloseSignals[] = { SIGTERM, SIGINT, SIGHUP };

// Lock-free, so that the handler may set it.
std::atomic<bool> g_requestPending { false };
static_assert(std::atomic<bool>::is_always_lock_free);

void setAction(void (*handler)(int))
{
    struct sigaction action { };
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // Every close signal is held off while one is handled.
    for (int signal : kCloseSignals)
        sigaddset(&action.sa_mask, signal);
    // Interrupted reads and writes elsewhere carry on; the waits of the main
    // loop are short, so the request is seen within one of them anyway.
    action.sa_flags = SA_RESTART;
    for (int signal : kCloseSignals)
        sigaction(signal, &action, nullptr);
}

void onCloseSignal(int)
{
    g_requestPending.store(true);
    // The next one takes the default action and ends the program at once.
    // sigaction is safe to call here.
    setAction(SIG_DFL);
}

} // namespace

void installCloseSignalHandlers()
{
    g_requestPending.store(false);
    setAction(onCloseSignal);
}

void restoreCloseSignalHandlers()
{
    setAction(SIG_DFL);
    g_requestPending.store(false);
}

bool takeCloseSignal() { return g_requestPending.exchange(false); }

} // namespace platform
