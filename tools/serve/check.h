// What the checks of every document share: a refusal names the first field at fault (a JSON
// pointer such as /lines/2/tax) and says why.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "cli.h"
#include "serve.h"

namespace tarn::serve {

class Checker {
public:
    explicit Checker(Refusal* refusal) : refusal_(refusal) {}

    bool Fail(const std::string& field, const std::string& message) {
        if (refusal_->field.empty()) *refusal_ = {field, message};
        return false;
    }

    // Only the names in `known` may stand in `object`.
    bool OnlyKnown(const Json& object, const std::string& at, const std::set<std::string>& known) {
        if (!object.is_object()) return Fail(at.empty() ? "/" : at, "expected an object");
        for (const auto& item : object.items()) {
            if (known.count(item.key()) == 0) return Fail(at + "/" + item.key(), "unknown field");
        }
        return true;
    }

    // Grosze: a JSON integer, or a decimal string of złoty ("5.49", "5,49", "5").
    bool Amount(const Json& value, const std::string& at, int* grosze) {
        if (value.is_number_integer() && value.get<int64_t>() >= 0 &&
            value.get<int64_t>() <= INT32_MAX) {
            *grosze = value.get<int>();
            return true;
        }
        if (value.is_string() && cli::ParseAmount(value.get<std::string>(), grosze)) return true;
        return Fail(at,
                    "expected an exact amount: whole grosze (549) or a decimal string (\"5.49\")");
    }

    // Thousandths of a unit: a JSON integer of whole units, or a decimal string ("1.25").
    bool Quantity(const Json& value, const std::string& at, int* thousandths) {
        if (value.is_number_integer() && value.get<int64_t>() > 0 &&
            value.get<int64_t>() <= 2000000) {
            *thousandths = value.get<int>() * 1000;
            return true;
        }
        if (value.is_string() && cli::ParseQuantity(value.get<std::string>(), thousandths) &&
            *thousandths > 0)
            return true;
        return Fail(at,
                    "expected a quantity above 0: whole units (2) or a decimal string (\"1.25\")");
    }

    bool Whole(const Json& value, const std::string& at, int lowest, int highest, int* out) {
        if (value.is_number_integer() && value.get<int64_t>() >= lowest &&
            value.get<int64_t>() <= highest) {
            *out = value.get<int>();
            return true;
        }
        return Fail(at, "expected a whole number from " + std::to_string(lowest) + " to " +
                            std::to_string(highest));
    }

    // A text the printer can print (every character in code page 852), of `lowest` to `widest`
    // characters.
    bool Text(const Json& value, const std::string& at, size_t lowest, size_t widest,
              std::string* out) {
        if (!value.is_string()) return Fail(at, "expected a text");
        const std::string text = value.get<std::string>();
        const std::string printed = cli::ToPrinter(text);
        if (cli::FromPrinter(printed) != text || printed.find('\0') != std::string::npos)
            return Fail(at, "a character the printer cannot print");
        if (printed.size() < lowest || printed.size() > widest)
            return Fail(at, "expected " + std::to_string(lowest) + " to " + std::to_string(widest) +
                                " characters");
        *out = text;
        return true;
    }

    bool TaxLetter(const Json& value, const std::string& at, std::string* letter) {
        const std::string text = value.is_string() ? value.get<std::string>() : "";
        if (text.size() == 1 &&
            ((text[0] >= 'A' && text[0] <= 'G') || (text[0] >= 'a' && text[0] <= 'g'))) {
            *letter = text;
            return true;
        }
        return Fail(at, "expected a tax letter from A to G");
    }

    bool Array(const Json& body, const char* name, size_t lowest, size_t most) {
        const std::string at = std::string("/") + name;
        if (!body.contains(name)) {
            return lowest == 0 || Fail(at, "required");
        }
        const Json& value = body[name];
        if (!value.is_array()) return Fail(at, "expected an array");
        if (value.size() < lowest || value.size() > most)
            return Fail(at, "expected " + std::to_string(lowest) + " to " + std::to_string(most) +
                                " entries");
        return true;
    }

private:
    Refusal* refusal_;
};

}  // namespace tarn::serve
