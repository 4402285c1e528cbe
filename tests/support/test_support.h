#pragma once
#include <chrono>
#include <filesystem>
#include <string>

namespace vrumbal::test {

// A fresh empty folder for one test, removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The folder's path.
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;  // the folder
};

// Lays out a game folder under root whose Data/Res and Data/Music are the content the build
// made (linked, not copied) and whose Data/Save is its own.
void LinkBuiltData(const std::filesystem::path& root);

// How many times slower than a plain build a test may find its work: 4 under the sanitizers
// (as the test time limits are), else 1; VRUMBAL_TEST_TIME_SCALE overrides both.
int TimeScale();

// A wait for something that is bound to happen, stretched by TimeScale: patience, never a
// measure of speed.
inline std::chrono::milliseconds Patience(std::chrono::milliseconds plain) {
    return plain * TimeScale();
}

// Characters in a UTF-8 text (its bytes that do not continue a character).
inline int CharacterCount(const std::string& utf8) {
    int count = 0;
    for (char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

// Runs a shell command, capturing its standard output; returns the exit status.
int RunCommand(const std::string& command, std::string* output = nullptr);

}  // namespace vrumbal::test
