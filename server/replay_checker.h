// The re-runs of replays the server is sent: a few workers and a short queue, so that a burst
// of results is answered "busy" rather than piling up.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "game/replay.h"
#include "shell/replay_check.h"

namespace vrumbal::scores {

// Re-runs replays on the game's own logic (no display, sound or fonts), on the content under
// dataRoot, in a bounded pool.
class ReplayChecker final {
public:
    // Workers re-running at once, and the re-runs that may wait for one.
    ReplayChecker(std::filesystem::path dataRoot, unsigned workers, std::size_t queueLimit);
    ~ReplayChecker();
    ReplayChecker(const ReplayChecker&) = delete;
    ReplayChecker& operator=(const ReplayChecker&) = delete;

    // The digest of the content re-runs happen on: a replay of other content cannot match.
    const Digest& Content() const { return content_; }
    // Queues a re-run whose outcome goes to done, on a worker; false (nothing queued) when the
    // queue is full.
    bool Submit(Replay replay, std::function<void(const ReplayCheck&)> done);
    // Lets the queued re-runs finish and stops the workers (the destructor does too).
    void Stop();

private:
    struct Job {
        Replay replay;
        std::function<void(const ReplayCheck&)> done;
    };
    void Work();

    std::filesystem::path dataRoot_;  // holds Data/
    Digest content_{};                // of Data/Res
    std::size_t queueLimit_;          // jobs waiting at most
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> queue_;  // waiting jobs, oldest first
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace vrumbal::scores
