// tarn: a fiscal printer at the end of a serial line, driven through the library.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli.h"

using tarn::cli::Args;
using tarn::cli::Command;
using tarn::cli::Commands;

namespace {

void PrintHelp() {
    std::printf("usage: tarn [--port N] COMMAND [ARGUMENTS]\n\n");
    std::printf(
        "Port N is COM<N>; on Linux the device named by TARN_COM<N>, else /dev/ttyS<N-1>.\n");
    std::printf("TARN_COM<N>=tcp:HOST:PORT reaches a printer behind a TCP port.\n");
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
bool TakePort(std::vector<char*>* argv, int* port) {
    for (size_t i = 1; i < argv->size(); ++i) {
        if (std::strcmp((*argv)[i], "--port") != 0) continue;
        if (i + 1 >= argv->size() || !tarn::cli::ParseWhole((*argv)[i + 1], 1, 255, port))
            return false;
        argv->erase(argv->begin() + static_cast<long>(i), argv->begin() + static_cast<long>(i) + 2);
        --i;
    }
    return true;
}

}  // namespace

int main(int count, char** given) {
    std::vector<char*> arguments(given, given + count);
    int port = 1;
    if (!TakePort(&arguments, &port)) {
        std::fprintf(stderr,
                     "usage: tarn [--port N] COMMAND [ARGUMENTS]\n"
                     "tarn: --port takes a port number from 1 to 255\n");
        return 2;
    }
    const int argc = static_cast<int>(arguments.size());
    char** argv = arguments.data();
    const int i = 1;
    if (i < argc && argv[i][0] == '-') {  // an option before the command: only help is one
        PrintHelp();
        return std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0 ? 0 : 2;
    }
    if (i >= argc) {
        PrintHelp();
        return 2;
    }
    const std::string name = argv[i] == std::string("help") && i + 1 < argc ? argv[i + 1] : argv[i];
    const Command* command = Find(name);
    if (command == nullptr) {
        std::fprintf(stderr, "tarn: no command \"%s\"; try tarn --help\n", name.c_str());
        return 2;
    }
    const Args args(argv + i + 1, argv + argc);
    if (std::string(argv[i]) == "help" ||
        (!args.empty() && (args[0] == "--help" || args[0] == "-h"))) {
        std::printf("usage: tarn %s\n\n%s\n", command->usage, command->help);
        return 0;
    }
    return command->run(args, port);
}
