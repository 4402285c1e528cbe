// Sending results, each kept in the outbox from before it leaves until the server answers.
#include "shell/result_uploads.h"

#include <optional>

#include "game/replay.h"
#include "save/outbox.h"

namespace vrumbal {

ResultUploads::ResultUploads()
    : send([](const ScoreRecord& record, const std::string& replay) {
          return UploadResult(record, replay);
      }) {}

ResultUploads::~ResultUploads() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    if (worker_.joinable()) worker_.join();
}

void ResultUploads::KeepIn(std::filesystem::path saveFolder) {
    std::lock_guard lock(mutex_);
    folder_ = std::move(saveFolder);
}

UploadOutcome ResultUploads::SendNow(const ScoreRecord& record, const std::string& replay) {
    std::filesystem::path folder;
    {
        std::lock_guard lock(mutex_);
        folder = folder_;
    }
    // Kept first: a game cut off while the request is on its way still has it.
    std::optional<std::string> kept;
    if (!folder.empty() && !replay.empty()) {
        std::lock_guard lock(mutex_);
        kept = KeepInOutbox(folder, record.country, replay);
        if (kept) sending_.insert(*kept);
    }
    const UploadOutcome outcome = send(record, replay);
    if (kept) {
        if (outcome.Answered()) TakeFromOutbox(folder, *kept);
        std::lock_guard lock(mutex_);
        sending_.erase(*kept);
        // A busy or unreachable server is not asked again at once by a pass already running.
        if (!outcome.Answered()) resting_.insert(*kept);
    }
    return outcome;
}

void ResultUploads::SendKept() {
    std::lock_guard lock(mutex_);
    if (folder_.empty() || stopping_) return;
    resting_.clear();
    if (running_) {
        again_ = true;
        return;
    }
    if (worker_.joinable()) worker_.join();  // ended already: only its thread is left
    running_ = true;
    worker_ = std::thread([this] { SendKeptNow(); });
}

void ResultUploads::Wait() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !running_; });
}

void ResultUploads::SendKeptNow() {
    while (true) {
        std::filesystem::path folder;
        {
            std::lock_guard lock(mutex_);
            again_ = false;
            folder = folder_;
        }
        for (const OutboxEntry& entry : ReadOutbox(folder)) {
            {
                std::lock_guard lock(mutex_);
                if (stopping_) break;
                if (resting_.count(entry.name) != 0) continue;
                if (!sending_.insert(entry.name).second) continue;  // SendNow has it
            }
            Replay replay;
            UploadOutcome outcome;
            if (!DecodeReplay(entry.replay, replay).empty()) {
                // Damaged on the disk: no server would take it.
                outcome.kind = UploadOutcome::Kind::Refused;
            } else {
                ScoreRecord record;
                record.name = replay.name;
                record.score = replay.score;
                record.country = entry.country;
                outcome = send(record, entry.replay);
            }
            if (outcome.Answered()) TakeFromOutbox(folder, entry.name);
            std::lock_guard lock(mutex_);
            sending_.erase(entry.name);
        }
        std::lock_guard lock(mutex_);
        if (!again_ || stopping_) {
            running_ = false;
            idle_.notify_all();
            return;
        }
    }
}

}  // namespace vrumbal
