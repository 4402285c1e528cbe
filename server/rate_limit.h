#pragma once
#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>

namespace vrumbal::scores {

// How many results each client address may store: a bucket of `burst` results that refills
// at `perMinute` a minute. The addresses are kept in memory up to `capacity`; past that the
// one heard from longest ago is forgotten, so many addresses cost bounded memory. Safe to use
// from several threads.
class RateLimit final {
public:
    RateLimit(double perMinute, double burst, std::size_t capacity);

    // Whether the address may store a result at time nowMs (milliseconds, any fixed origin);
    // takes one from its bucket when it may, and then puts in *refusedBefore how many times
    // it was refused since it was last allowed.
    bool Allow(const std::string& address, std::int64_t nowMs,
               std::int64_t* refusedBefore = nullptr);
    // Puts back the one Allow took, when the result could not be stored after all: a failure
    // of the server's own costs the sender nothing.
    void GiveBack(const std::string& address);
    // Addresses held now.
    std::size_t Size() const;

private:
    struct Bucket {
        double tokens = 0;                     // results it may store now
        std::int64_t at = 0;                   // when tokens was worked out
        std::int64_t refused = 0;              // refusals since it was last allowed
        std::list<std::string>::iterator age;  // its place in the order of last use
    };

    double perMs_;          // refill per millisecond
    double burst_;          // bucket size
    std::size_t capacity_;  // addresses kept at most
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;  // by address
    std::list<std::string> order_;                     // most recently used first
};

}  // namespace vrumbal::scores
