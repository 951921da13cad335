#include "worker_pool.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <vector>

namespace leafkit {
namespace {

// Every message on a pipe is a 64-bit length (or task index) in host byte order,
// followed by that many bytes for a result.
using Word = std::uint64_t;

struct Worker {
    pid_t pid = -1;
    int taskFd = -1;    // parent writes task indices
    int resultFd = -1;  // parent reads results
    std::optional<std::size_t> task;
};

bool writeAll(int fd, const void* data, std::size_t size)
{
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(fd, next, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        next += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// False when the pipe ends (or fails) before size bytes arrived.
bool readAll(int fd, void* data, std::size_t size)
{
    char* next = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = read(fd, next, size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        next += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

[[noreturn]] void serveTasks(int taskFd, int resultFd, const WorkerTask& task)
{
    Word index = 0;
    while (readAll(taskFd, &index, sizeof index)) {
        const std::string result = task(static_cast<std::size_t>(index));
        const Word size = result.size();
        if (!writeAll(resultFd, &size, sizeof size) || !writeAll(resultFd, result.data(), result.size())) break;
    }
    // _exit: the parent's stdio buffers and exit handlers belong to the parent.
    _exit(0);
}

void closeWorkerPipes(Worker& worker)
{
    if (worker.taskFd >= 0) close(worker.taskFd);
    if (worker.resultFd >= 0) close(worker.resultFd);
    worker.taskFd = worker.resultFd = -1;
}

Worker spawnWorker(const std::vector<Worker>& others, const WorkerTask& task)
{
    int toWorker[2], fromWorker[2];
    if (pipe(toWorker) != 0) throw std::runtime_error(std::string("cannot create a pipe: ") + std::strerror(errno));
    if (pipe(fromWorker) != 0) {
        close(toWorker[0]);
        close(toWorker[1]);
        throw std::runtime_error(std::string("cannot create a pipe: ") + std::strerror(errno));
    }
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error(std::string("cannot start a worker process: ") + std::strerror(errno));
    if (pid == 0) {
        // A worker must hold no other worker's pipe ends, or they would never see end of file.
        for (const Worker& other : others)
            for (const int fd : {other.taskFd, other.resultFd})
                if (fd >= 0) close(fd);
        close(toWorker[1]);
        close(fromWorker[0]);
        serveTasks(toWorker[0], fromWorker[1], task);
    }
    close(toWorker[0]);
    close(fromWorker[1]);
    Worker worker;
    worker.pid = pid;
    worker.taskFd = toWorker[1];
    worker.resultFd = fromWorker[0];
    return worker;
}

std::string describeExit(int status)
{
    if (WIFSIGNALED(status)) {
        const int signalNumber = WTERMSIG(status);
        return "the worker process was killed by signal " + std::to_string(signalNumber) + " (" +
               strsignal(signalNumber) + ")";
    }
    if (WIFEXITED(status)) return "the worker process ended early with status " + std::to_string(WEXITSTATUS(status));
    return "the worker process ended early";
}

std::string reapWorker(Worker& worker)
{
    closeWorkerPipes(worker);
    int status = 0;
    while (waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
    }
    worker.pid = -1;
    return describeExit(status);
}

class Pool {
public:
    Pool(std::size_t taskCount, const WorkerTask& task, const WorkerResult& onResult)
        : taskCount_(taskCount), task_(task), onResult_(onResult)
    {
    }

    void run(int workerCount)
    {
        for (int i = 0; i < workerCount; ++i) {
            workers_.push_back(spawnWorker(workers_, task_));
            assignNext(workers_.back());
        }
        while (std::any_of(workers_.begin(), workers_.end(), [](const Worker& w) { return w.task.has_value(); }))
            collectOne();
        for (Worker& worker : workers_)
            if (worker.pid > 0) reapWorker(worker);
    }

private:
    // Gives the worker the next task, or lets it finish when none is left.
    void assignNext(Worker& worker)
    {
        worker.task.reset();
        if (next_ >= taskCount_) {
            closeWorkerPipes(worker);  // end of file: the worker exits
            return;
        }
        const Word index = next_++;
        worker.task = static_cast<std::size_t>(index);
        if (!writeAll(worker.taskFd, &index, sizeof index)) failWorker(worker);
    }

    // Waits for one busy worker to answer or end, and hands out the next task.
    void collectOne()
    {
        std::vector<pollfd> fds;
        std::vector<Worker*> owners;
        for (Worker& worker : workers_)
            if (worker.task) {
                fds.push_back({worker.resultFd, POLLIN, 0});
                owners.push_back(&worker);
            }
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) return;
            throw std::runtime_error(std::string("cannot wait for the workers: ") + std::strerror(errno));
        }
        for (std::size_t i = 0; i < fds.size(); ++i)
            if (fds[i].revents != 0) receive(*owners[i]);
    }

    void receive(Worker& worker)
    {
        Word size = 0;
        std::string result;
        if (!readAll(worker.resultFd, &size, sizeof size)) return failWorker(worker);
        result.resize(size);
        if (!readAll(worker.resultFd, result.data(), result.size())) return failWorker(worker);
        const std::size_t index = *worker.task;
        worker.task.reset();
        onResult_(index, std::move(result), "");
        assignNext(worker);
    }

    // The worker died: its task fails with the reason, and a fresh worker takes over.
    void failWorker(Worker& worker)
    {
        const std::optional<std::size_t> lost = worker.task;
        worker.task.reset();
        const std::string reason = reapWorker(worker);
        if (lost) onResult_(*lost, "", reason);
        if (next_ < taskCount_) {
            worker = spawnWorker(workers_, task_);
            assignNext(worker);
        }
    }

    std::size_t taskCount_;
    const WorkerTask& task_;
    const WorkerResult& onResult_;
    std::vector<Worker> workers_;
    std::size_t next_ = 0;
};

// A worker that dies while the parent writes to it must not end the parent.
class IgnoreBrokenPipes {
public:
    IgnoreBrokenPipes() : previous_(std::signal(SIGPIPE, SIG_IGN)) {}
    ~IgnoreBrokenPipes() { std::signal(SIGPIPE, previous_); }
    IgnoreBrokenPipes(const IgnoreBrokenPipes&) = delete;
    IgnoreBrokenPipes& operator=(const IgnoreBrokenPipes&) = delete;

private:
    void (*previous_)(int);
};

}  // namespace

void runInWorkerProcesses(std::size_t taskCount, int workers, const WorkerTask& task, const WorkerResult& onResult)
{
    if (taskCount == 0) return;
    const int count = static_cast<int>(std::clamp<std::size_t>(static_cast<std::size_t>(std::max(workers, 1)), 1, taskCount));
    const IgnoreBrokenPipes ignoreBrokenPipes;
    Pool(taskCount, task, onResult).run(count);
}

}  // namespace leafkit
