// The main process's side of one printer's worker: started, asked one request at a time, and
// killed when a call overruns its bound.
#pragma once

#include <sys/types.h>

#include <string>

#include "serve.h"

namespace tarn::serve {

class WorkerProcess {
public:
    WorkerProcess(PrinterConfig printer, std::string program, std::string directory);
    ~WorkerProcess();
    WorkerProcess(const WorkerProcess&) = delete;
    WorkerProcess& operator=(const WorkerProcess&) = delete;

    // Sends `request` and waits for the reply, each call the worker names allowed its bound and
    // a margin. False when the worker could not be started, died, or overran (it is then
    // killed): whatever it was doing was cut off.
    bool Ask(const Json& request, Json* reply);
    void Stop();
    // Whether the worker still runs (one that died is forgotten, to be started anew).
    bool Alive();

private:
    bool Spawn();
    bool ReadLine(int waitMs, std::string* line);
    void Kill();

    PrinterConfig printer_;
    std::string program_, directory_;
    pid_t pid_ = -1;
    int toWorker_ = -1, fromWorker_ = -1;
    std::string pending_;  // read from the worker, not yet a whole line
};

}  // namespace tarn::serve
