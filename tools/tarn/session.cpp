// Calls shown as they are made, with their results in words.
#include <cstdio>

#include "cli.h"
#include "tarn/tarn.h"

namespace tarn::cli {

// The detail text comes from the library's own table (mfParMessage), in Polish.
int Show(const std::string& call, int result) {
    std::string words;
    const int code = result == MF_FAILED ? mfError() : 0;
    char classText[39] = {};
    char detailText[39] = {};
    if (result != MF_NOT_STARTED && mfParMessage(code, classText, detailText) == 0)
        words = FromPrinter(detailText);
    if (result == MF_FAILED) words += " (" + std::to_string(code) + ")";
    if (result == MF_NOT_STARTED) words = "no session";
    if (result == MF_NOT_AVAILABLE) words = "not available";
    if (result == MF_NOT_PERFORMED) words = "not carried out";
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
