// The results on their way to the world table: the one the player has just agreed to send,
// and those kept in the outbox because the server could not be reached.
#pragma once
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "online/score_record.h"
#include "online/score_submit.h"

namespace vrumbal {

// Sends results and keeps each in the outbox beside the saves until the server has answered
// for it (stored or refused), so that none is lost to a missing connection or a busy server,
// and none is sent by two senders at once. Sending again is safe: the server keeps one
// replay once.
class ResultUploads final {
public:
    // Hands one result with its replay file's bytes (empty: none) to the world table.
    using Sender = std::function<UploadOutcome(const ScoreRecord&, const std::string& replay)>;

    ResultUploads();
    // Waits for the sending in the background to end (a bounded wait: the time-outs).
    ~ResultUploads();
    ResultUploads(const ResultUploads&) = delete;
    ResultUploads& operator=(const ResultUploads&) = delete;

    // Where the outbox is kept: the save folder; empty: no outbox (nothing is kept).
    void KeepIn(std::filesystem::path saveFolder);
    // Sends a result now and waits for the outcome; kept in the outbox until answered for.
    UploadOutcome SendNow(const ScoreRecord& record, const std::string& replay);
    // Sends the results the outbox holds, on a thread of its own, one after another.
    void SendKept();
    // Waits until the sending in the background has ended.
    void Wait();

    // Sends one result; the world table's server unless a test puts another here.
    Sender send;

private:
    // The thread's work: the outbox's results, until none is left that it has not tried.
    void SendKeptNow();

    std::filesystem::path folder_;  // the save folder; empty: no outbox
    std::mutex mutex_;
    std::condition_variable idle_;   // the background sending has ended
    std::set<std::string> sending_;  // outbox entries being sent now
    std::set<std::string> resting_;  // just tried by SendNow unanswered: not again until asked
    bool running_ = false;           // the background sending is on
    bool again_ = false;             // it was asked for again meanwhile
    bool stopping_ = false;          // the owner is going: no further result is started
    std::thread worker_;             // the background sending's thread (last one)
};

}  // namespace vrumbal
