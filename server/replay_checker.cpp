// The pool of re-runs.
#include "replay_checker.h"

#include <stdexcept>

namespace vrumbal::scores {
namespace {

// The digest of the content under dataRoot, as the game works it out; throws
// std::runtime_error when a library is missing.
Digest ReadableContentDigest(const std::filesystem::path& dataRoot) {
    std::string unread;
    const Digest digest = ContentDigestOf(dataRoot, &unread);
    if (!unread.empty()) throw std::runtime_error("cannot read " + unread);
    return digest;
}

}  // namespace

ReplayChecker::ReplayChecker(std::filesystem::path dataRoot, unsigned workers,
                             std::size_t queueLimit)
    : dataRoot_(std::move(dataRoot)),
      content_(ReadableContentDigest(dataRoot_)),
      queueLimit_(queueLimit) {
    for (unsigned i = 0; i < std::max(workers, 1u); ++i) workers_.emplace_back([this] { Work(); });
}

ReplayChecker::~ReplayChecker() {
    Stop();
}

bool ReplayChecker::Submit(Replay replay, std::function<void(const ReplayCheck&)> done) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_ || queue_.size() >= queueLimit_) return false;
        queue_.push_back(Job{std::move(replay), std::move(done)});
    }
    wake_.notify_one();
    return true;
}

void ReplayChecker::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) {
        if (worker.joinable()) worker.join();
    }
}

void ReplayChecker::Work() {
    while (true) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            // Stopping still answers what was queued: every request gets its answer.
            if (queue_.empty()) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        ReplayCheck check;
        try {
            check = CheckReplay(dataRoot_, job.replay, &content_);
        } catch (const std::exception& e) {
            check.error = e.what();
        }
        job.done(check);
    }
}

}  // namespace vrumbal::scores
