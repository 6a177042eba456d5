#include "test_dir.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tarn::test {

namespace {

// The library pushes each log line to the disk: test folders go to memory where the machine
// has a memory file system (unless TMPDIR names a place), so that costs no disk writes.
std::filesystem::path TestFolderBase() {
    if (std::getenv("TMPDIR") == nullptr && access("/dev/shm", W_OK | X_OK) == 0) return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

}  // namespace

TestDir::TestDir() {
    std::string pattern = (TestFolderBase() / "tarn-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TestDir::~TestDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace tarn::test

namespace tarn::test {

std::string CommandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    pclose(pipe);
    return output;
}

}  // namespace tarn::test
