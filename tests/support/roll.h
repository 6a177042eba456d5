// What the virtual printer printed, read as a person reads the paper: UTF-8 lines.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/cp852.h"
#include "virtual_printer.h"

namespace tarn::test {

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

// The roll's lines from line `first` on, in UTF-8, hold `expected` in this order.
inline ::testing::AssertionResult PrintedInOrder(const sim::VirtualPrinter& printer,
                                                 const std::vector<std::string>& expected,
                                                 size_t first = 0) {
    const std::vector<std::string>& roll = printer.Roll().Lines();
    std::vector<std::string> lines;
    for (size_t i = first; i < roll.size(); ++i) lines.push_back(Cp852ToUtf8(roll[i]));
    return InOrder(lines, expected);
}

}  // namespace tarn::test
