// What the virtual printer printed, read as a person reads the paper: UTF-8 lines.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/cp852.h"
#include "virtual_printer.h"

namespace tarn::test {

// The roll's lines from line `first` on, in UTF-8.
inline std::vector<std::string> RollLines(const sim::VirtualPrinter& printer, size_t first = 0) {
    std::vector<std::string> lines;
    const std::vector<std::string>& roll = printer.Roll().Lines();
    for (size_t i = first; i < roll.size(); ++i) lines.push_back(Cp852ToUtf8(roll[i]));
    return lines;
}

// Each expected item stands in `items` whole, in this order, each on an item of its own (two
// equal expected items need two); other items may come between them.
inline ::testing::AssertionResult InOrder(const std::vector<std::string>& items,
                                          const std::vector<std::string>& expected) {
    size_t at = 0;
    for (const std::string& item : expected) {
        while (at < items.size() && items[at] != item) ++at;
        if (at == items.size()) {
            std::string all;
            for (const std::string& i : items) all += i + "\n";
            return ::testing::AssertionFailure() << "not found in order: [" << item << "] in\n"
                                                 << all;
        }
        ++at;
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult PrintedInOrder(const std::vector<std::string>& lines,
                                                 const std::vector<std::string>& expected) {
    return InOrder(lines, expected);
}

inline ::testing::AssertionResult PrintedInOrder(const sim::VirtualPrinter& printer,
                                                 const std::vector<std::string>& expected,
                                                 size_t first = 0) {
    return PrintedInOrder(RollLines(printer, first), expected);
}

}  // namespace tarn::test
