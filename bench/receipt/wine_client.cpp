#include "wine_client.h"

#include <cstdio>
#include <sstream>

namespace tarn::bench {

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// One shell command: a fresh prefix with COM1 on the device, the client run in the work
// directory (its trace named relative to it, a path both sides agree on), the server stopped.
std::string Command(const WineSetup& wine, const std::string& device, int printerType,
                    const std::string& workDir, const std::string& traceName) {
    const std::string build = Quoted(wine.windowsBuild);
    std::ostringstream command;
    command << "cd " << Quoted(workDir) << " && export WINEPREFIX=\"$PWD/wine\" WINEARCH=win64"
            << " WINELOADER=" << Quoted(wine.loader) << " WINESERVER=" << Quoted(wine.server)
            << " WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= && "
            << "cp " << build << "/TARN.dll " << build << "/tarn_bench_client.exe . && "
            << Quoted(wine.com1Script) << " " << Quoted(device) << " >wine-setup.txt 2>&1 && "
            << "TARN_TRACE=" << Quoted(traceName) << " \"$WINELOADER\" tarn_bench_client.exe "
            << printerType << " " << Quoted(traceName) << " 2>wine-stderr.txt; "
            << "\"$WINESERVER\" -k 2>/dev/null";
    return command.str();
}

}  // namespace

ClientRun RunWineClient(const WineSetup& wine, const std::string& device, int printerType,
                        const std::string& workDir, const std::string& tracePath) {
    ClientRun run;
    const std::string traceName = tracePath.substr(tracePath.find_last_of('/') + 1);
    std::FILE* client = popen(Command(wine, device, printerType, workDir, traceName).c_str(), "r");
    if (client == nullptr) {
        run.error = "cannot start Wine";
        return run;
    }
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, client) != nullptr) output += buffer;
    pclose(client);
    std::istringstream words(output);
    std::string verdict;
    long long wallNs = 0, cpuNs = 0;
    words >> verdict;
    run.ok = verdict == "ok" && static_cast<bool>(words >> wallNs >> cpuNs);
    run.wallNs = wallNs;
    run.cpuNs = cpuNs;
    if (!run.ok) {
        run.error = "the Windows client under Wine: " +
                    (output.empty() ? "no answer (see wine-setup.txt, wine-stderr.txt)" : output);
    }
    return run;
}

}  // namespace tarn::bench
