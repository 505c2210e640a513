#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// A program started by the tests, in a process group of its own so that it and anything it
// starts can be ended together. It dies with the test process, and the destructor kills and
// reaps it if it is still there.
class childProcess {
  public:
    // What to start. environment holds "NAME=value" entries and replaces the whole environment.
    struct launch {
        std::vector<std::string> arguments; // arguments[0] is the program's path
        std::vector<std::string> environment;
        std::string workingFolder;            // empty: the test's own
        std::string outputFile = "/dev/null"; // receives standard output
        std::string errorFile = "/dev/null";  // receives standard error
    };

    childProcess() = default;
    ~childProcess();
    childProcess(const childProcess&) = delete;
    childProcess& operator=(const childProcess&) = delete;

    // Starts the program (again, once the last one has ended); false (with why()) when it
    // cannot be started at all.
    bool start(const launch& what);
    // The process id, or 0 when none was started.
    pid_t pid() const { return id; }
    // True while the process has been started and has not ended.
    bool running();
    // Waits up to limit for the process to end; its exit status, where death by signal s
    // reads 128 + s, or nothing when it is still running at the limit.
    std::optional<int> waitForExit(std::chrono::milliseconds limit);
    // The exit status once the process has ended (see waitForExit), else nothing.
    std::optional<int> exitStatus() const { return status; }
    // Kills the process and its group and reaps it; harmless when it has already ended. With a
    // grace period, the process is first asked to end (SIGTERM) and given that long to tidy up.
    void stop(std::chrono::milliseconds grace = std::chrono::milliseconds(0));
    // Processor time (user + system) the process has used so far, from /proc; 0 once ended.
    std::chrono::milliseconds cpuTime() const;
    // Why start failed.
    const std::string& why() const { return problem; }

    // "NAME=value" entries of this test process's environment, without the named variables.
    static std::vector<std::string> environmentWithout(const std::vector<std::string>& names);

  private:
    bool reap(bool block);

    pid_t id = 0;
    std::optional<int> status;
    std::string problem;
};
