// Runs tasks in worker processes. velkleaf keeps process-wide tables, so the leaf
// extraction runs in parallel only across processes; a worker that crashes costs
// its one task, not the run.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace leafkit {

// Runs in a worker process; its result travels back to the parent as bytes. Must not throw.
using WorkerTask = std::function<std::string(std::size_t index)>;
// Runs in the parent for every task, in completion order. failure is empty when the
// worker returned a result, else it says how the worker ended.
using WorkerResult = std::function<void(std::size_t index, std::string result, const std::string& failure)>;

// Runs tasks 0 .. taskCount - 1 on `workers` forked processes (at least one, at most
// taskCount), handing each idle worker the next index in order. Call only while the
// process has a single thread.
void runInWorkerProcesses(std::size_t taskCount, int workers, const WorkerTask& task, const WorkerResult& onResult);

}  // namespace leafkit
