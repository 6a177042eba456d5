// A fresh temporary directory for one test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace tarn::test {

class TestDir {
public:
    TestDir();
    ~TestDir();
    TestDir(const TestDir&) = delete;
    TestDir& operator=(const TestDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string ReadFile(const std::string& path);
// What a shell command writes to its standard output.
std::string CommandOutput(const std::string& command);

}  // namespace tarn::test
