// The error a picture or sound library fails to load or bind with.
#pragma once
#include <stdexcept>
#include <string>

namespace vrumbal {

// A failure to load or bind a picture or sound library; what() is the message shown.
class LibraryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace vrumbal
