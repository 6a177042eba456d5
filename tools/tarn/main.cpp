// tarn: a fiscal printer at the end of a serial line, driven through the library.
#include <cstdio>
#include <string>

#include "cli.h"

using tarn::cli::Args;
using tarn::cli::Command;
using tarn::cli::Commands;

namespace {

void PrintHelp() {
    std::printf("usage: tarn [--port N] COMMAND [ARGUMENTS]\n\n");
    std::printf(
        "Port N is the device named by TARN_COM<N> when that is set, else COM<N> on Windows\n"
        "and /dev/ttyS<N-1> on Linux. TARN_COM<N>=tcp:HOST:PORT reaches a printer behind a\n"
        "TCP port.\n");
    std::printf(
        "TARN_TRACE=FILE appends every block to and from the printer to FILE.\n\nCommands:\n");
    for (const Command& command : Commands())
        std::printf("  %-36s %s\n", command.usage, command.help);
}

const Command* Find(const std::string& name) {
    for (const Command& command : Commands()) {
        if (name == command.name) return &command;
    }
    return nullptr;
}

// Takes "--port N" out of the arguments, wherever it stands; false when N is no port number.
bool TakePort(Args* words, int* port) {
    for (auto at = words->begin(); at != words->end();) {
        if (*at != "--port") {
            ++at;
            continue;
        }
        if (at + 1 == words->end() || !tarn::cli::ParseWhole(at[1], 1, 255, port)) return false;
        at = words->erase(at, at + 2);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Args words(argv + 1, argv + argc);
    int port = 1;
    if (!TakePort(&words, &port)) {
        std::fprintf(stderr,
                     "usage: tarn [--port N] COMMAND [ARGUMENTS]\n"
                     "tarn: --port takes a port number from 1 to 255\n");
        return 2;
    }
    if (words.empty() || words[0][0] == '-') {  // before the command only help is an option
        PrintHelp();
        return !words.empty() && (words[0] == "--help" || words[0] == "-h") ? 0 : 2;
    }
    const bool help = words[0] == "help" && words.size() > 1;
    const std::string& name = help ? words[1] : words[0];
    const Command* command = Find(name);
    if (command == nullptr) {
        std::fprintf(stderr, "tarn: no command \"%s\"; try tarn --help\n", name.c_str());
        return 2;
    }
    const Args args(words.begin() + 1, words.end());
    if (help || (!args.empty() && (args[0] == "--help" || args[0] == "-h"))) {
        std::printf("usage: tarn %s\n\n%s\n", command->usage, command->help);
        return 0;
    }
    return command->run(args, port);
}
