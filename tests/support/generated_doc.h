// Figures that a test produces and a document shows: the section between a begin and an end
// marker must equal what the test computed; with TARN_UPDATE_DOCS set the test rewrites it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "test_dir.h"

namespace tarn::test {

inline ::testing::AssertionResult DocumentSection(const std::string& path, const std::string& begin,
                                                  const std::string& end,
                                                  const std::string& content) {
    std::string doc = ReadFile(path);
    const size_t from = doc.find(begin);
    const size_t to = doc.find(end);
    if (from == std::string::npos || to == std::string::npos || to < from) {
        return ::testing::AssertionFailure() << "no section " << begin << " in " << path;
    }
    const size_t start = from + begin.size();
    const std::string current = doc.substr(start, to - start);
    if (std::getenv("TARN_UPDATE_DOCS") != nullptr) {
        doc.replace(start, current.size(), content);
        std::ofstream(path) << doc;
        return ::testing::AssertionSuccess();
    }
    if (current == content) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << path << " is out of date (run with TARN_UPDATE_DOCS=1):\n"
           << content;
}

}  // namespace tarn::test
