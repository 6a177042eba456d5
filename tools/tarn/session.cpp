// Calls shown as they are made, with their results in words.
#include <cstdio>

#include "cli.h"
#include "tarn/tarn.h"

namespace tarn::cli {

int Show(const std::string& call, int result) {
    std::string words;
    if (result == MF_FAILED) {
        const int code = mfError();
        char classText[39] = {};
        char detailText[39] = {};
        mfParMessage(code, classText, detailText);
        words = FromPrinter(detailText) + " (" + std::to_string(code) + ")";
    } else if (result == MF_NOT_STARTED) {
        words = "no session";
    } else if (result == MF_NOT_AVAILABLE) {
        words = "not available";
    } else if (result == MF_NOT_PERFORMED) {
        words = "not carried out";
    }
    // Padded by characters, not bytes: the call may hold Polish letters.
    size_t characters = 0;
    for (const char c : call) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    const std::string padding(characters < 44 ? 44 - characters : 0, ' ');
    std::printf("  %s%s %3d  %s\n", call.c_str(), padding.c_str(), result, words.c_str());
    std::fflush(stdout);
    return result;
}

// Without a session there is no detail code to read: only the outcome is told.
bool OpenSession(int port) {
    const int result = mfStart(0, port);
    if (result == 0) return true;
    std::printf(
        "No printer session on port %d: %s\n", port,
        result == -2 ? "no fiscal printer answered (see tarnel.txt)" : "a session is already open");
    return false;
}

int ExitStatus(int result) {
    return result == 0 || result == MF_NOT_PERFORMED ? 0 : 1;
}

}  // namespace tarn::cli
