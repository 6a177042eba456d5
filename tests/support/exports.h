// Every export of the interface list, callable through its type in the public header (which
// the build writes from the list) with arguments made for each parameter's kind.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "api/interface_list.h"
#include "tarn/tarn.h"

namespace tarn::test {

// What each kind of argument receives in one call.
struct Arguments {
    intptr_t integer = 0;            // int and tarn_arg arguments
    const char* text = nullptr;      // texts read
    int* outs = nullptr;             // integers written: argument i gets outs + i, or null
    char* buffer = nullptr;          // texts written
    unsigned char* bytes = nullptr;  // bytes read or written
};

template <typename T>
T ArgumentOf(const Arguments& a, size_t index) {
    if constexpr (std::is_same_v<T, int>) {
        return static_cast<int>(a.integer);
    } else if constexpr (std::is_same_v<T, tarn_arg>) {
        return a.integer;
    } else if constexpr (std::is_same_v<T, int*>) {
        return a.outs == nullptr ? nullptr : a.outs + index;
    } else if constexpr (std::is_same_v<T, char*>) {
        return a.buffer;
    } else if constexpr (std::is_same_v<T, const char*>) {
        return a.text;
    } else {
        static_assert(std::is_same_v<T, const unsigned char*> || std::is_same_v<T, unsigned char*>,
                      "an argument kind the tests do not know");
        return a.bytes;
    }
}

template <typename... Params, size_t... I>
int CallWith(int(TARN_API* function)(Params...), const Arguments& a, std::index_sequence<I...>) {
    return function(ArgumentOf<Params>(a, I)...);
}

template <typename... Params>
int CallWith(int(TARN_API* function)(Params...), const Arguments& a) {
    return CallWith(function, a, std::index_sequence_for<Params...>{});
}

struct Export {
    std::string name;
    std::string entry;  // names that share an entry point behave alike
    bool fixedAnswer;   // one of the names that answer a fixed result
    std::function<int(const Arguments&)> call;
};

inline std::vector<Export> Exports() {
    std::vector<Export> all;
#define TARN_TEST_EXPORT(name, ordinal, entry, kind, params)     \
    all.push_back({#name, #entry, std::string(#kind) == "FIXED", \
                   [](const Arguments& a) { return CallWith(&name, a); }});
    TARN_INTERFACE(TARN_TEST_EXPORT)
    return all;
}

}  // namespace tarn::test
