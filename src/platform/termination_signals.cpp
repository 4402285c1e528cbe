// SIGTERM, SIGINT and SIGHUP blocked and read from a signal descriptor as end requests.
#include <pthread.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>

#include "platform/session_signals.h"

namespace vrumbal {
namespace {

// The signals are blocked and read from a descriptor rather than caught, so no handler and
// no flag shared with one is needed.
class TerminationSignals final : public SessionSignals {
public:
    TerminationSignals() {
        sigemptyset(&set_);
        for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&set_, signal);
        if (pthread_sigmask(SIG_BLOCK, &set_, &previous_) != 0) return;
        fd_ = signalfd(-1, &set_, SFD_NONBLOCK | SFD_CLOEXEC);
        if (fd_ < 0) pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }

    ~TerminationSignals() override {
        if (fd_ < 0) return;
        ::close(fd_);
        // A signal that came after the last poll is taken as read: the game is ending anyway.
        const timespec none{0, 0};
        while (sigtimedwait(&set_, nullptr, &none) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool EndRequested() override {
        if (fd_ < 0 || requested_) return requested_;
        signalfd_siginfo info;
        for (;;) {
            const ssize_t n = ::read(fd_, &info, sizeof info);
            if (n == static_cast<ssize_t>(sizeof info)) {
                requested_ = true;
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            break;
        }
        return requested_;
    }

private:
    sigset_t set_{};          // SIGTERM, SIGINT, SIGHUP
    sigset_t previous_{};     // the mask before
    int fd_ = -1;             // the signal descriptor, -1 when there is none
    bool requested_ = false;  // an end request has arrived
};

}  // namespace

std::unique_ptr<SessionSignals> CreateTerminationSignals() {
    return std::make_unique<TerminationSignals>();
}

}  // namespace vrumbal
