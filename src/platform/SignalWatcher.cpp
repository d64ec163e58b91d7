#include "platform/SignalWatcher.h"

#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lw {

namespace {

constexpr std::array<int, 3> watchedSignals = {SIGTERM, SIGHUP, SIGINT};

// Where the handler writes: the newest watcher's end of its pipe.
std::atomic<int> signalPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free, "the handler may only touch lock-free state");

SignalWatcher* newest = nullptr;
std::array<struct sigaction, watchedSignals.size()> before{};

void onSignal(int signal)
{
    // Only what is safe in a handler: one write, errno kept.
    const int savedErrno = errno;
    const int fd = signalPipe.load();
    if (fd >= 0) {
        const char number = static_cast<char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(fd, &number, 1);
    }
    errno = savedErrno;
}

} // namespace

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipe) != 0) {
        pipe[0] = pipe[1] = -1;
        return;
    }
    // A full pipe must never block the handler: a request already waiting says enough.
    ::fcntl(pipe[0], F_SETFL, ::fcntl(pipe[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(pipe[1], F_SETFL, ::fcntl(pipe[1], F_GETFL) | O_NONBLOCK);
    notifier = new QSocketNotifier(pipe[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SignalWatcher::readSignals);
    previous = newest;
    newest = this;
    signalPipe.store(pipe[0]);
    if (!previous) {
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < watchedSignals.size(); ++i) {
            ::sigaction(watchedSignals[i], nullptr, &before[i]);
            // A signal ignored on purpose (nohup) stays ignored.
            if (before[i].sa_handler != SIG_IGN)
                ::sigaction(watchedSignals[i], &action, nullptr);
        }
    }
}

SignalWatcher::~SignalWatcher()
{
    if (pipe[0] < 0)
        return;
    if (newest == this) {
        newest = previous;
        signalPipe.store(newest ? newest->pipe[0] : -1);
    } else {
        for (SignalWatcher* later = newest; later; later = later->previous) {
            if (later->previous == this) {
                later->previous = previous;
                break;
            }
        }
    }
    if (!newest) {
        for (std::size_t i = 0; i < watchedSignals.size(); ++i)
            ::sigaction(watchedSignals[i], &before[i], nullptr);
    }
    delete notifier;
    ::close(pipe[0]);
    ::close(pipe[1]);
}

void SignalWatcher::readSignals()
{
    char numbers[16];
    ssize_t count;
    while ((count = ::read(pipe[1], numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            emit endRequested(numbers[i]);
    }
}

} // namespace lw
