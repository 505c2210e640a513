#include "childProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "processStats.h"

extern char** environ;

childProcess::~childProcess() {
    stop();
}

bool childProcess::start(const launch& what) {
    if ((id != 0 && !status) || what.arguments.empty()) {
        problem = "nothing to start, or still running";
        return false;
    }
    // Everything the child needs is prepared before fork: after it only exec-safe calls.
    std::vector<char*> argv;
    for (const std::string& a : what.arguments) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : what.environment) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    envp.push_back(nullptr);
    int out = open(what.outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int err = open(what.errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (out < 0 || err < 0 || in < 0) {
        problem = std::string("cannot open the output files: ") + std::strerror(errno);
        for (int fd : {out, err, in}) {
            if (fd >= 0)
                close(fd);
        }
        return false;
    }
    const pid_t parent = getpid();
    const char* folder = what.workingFolder.empty() ? nullptr : what.workingFolder.c_str();

    pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        // A crashed or killed test must not leave an X server or a game behind.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (folder != nullptr && chdir(folder) != 0)
            _exit(127);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(out);
    close(err);
    close(in);
    if (child < 0) {
        problem = std::string("fork failed: ") + std::strerror(errno);
        return false;
    }
    // Also set from this side, so the group exists before anyone signals it.
    setpgid(child, child);
    id = child;
    status.reset();
    return true;
}

bool childProcess::reap(bool block) {
    if (id == 0 || status) {
        return status.has_value();
    }
    // Look first without reaping: while the ended program is not yet reaped its id cannot be
    // reused, so its group can still be signalled safely to end anything it left behind.
    siginfo_t info{};
    int seen;
    do {
        seen = waitid(P_PID, id, &info, WEXITED | WNOWAIT | (block ? 0 : WNOHANG));
    } while (seen < 0 && errno == EINTR);
    if (seen < 0 || info.si_pid != id) {
        return false;
    }
    kill(-id, SIGKILL);
    int raw = 0;
    while (waitpid(id, &raw, 0) < 0 && errno == EINTR) {
    }
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return true;
}

bool childProcess::running() {
    return id != 0 && !reap(false);
}

std::optional<int> childProcess::waitForExit(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!reap(false)) {
        if (id == 0 || std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status;
}

void childProcess::stop(std::chrono::milliseconds grace) {
    if (id == 0 || status) {
        return;
    }
    if (grace.count() > 0) {
        kill(id, SIGTERM);
        if (waitForExit(grace)) {
            return;
        }
    }
    // The group holds what the program started itself (the message stand-in, for instance).
    kill(-id, SIGKILL);
    reap(true);
}

std::chrono::milliseconds childProcess::cpuTime() const {
    if (id == 0 || status) {
        return std::chrono::milliseconds(0);
    }
    return processStats::cpuTimeFromStat("/proc/" + std::to_string(id) + "/stat");
}

std::vector<std::string> childProcess::environmentWithout(const std::vector<std::string>& names) {
    std::vector<std::string> kept;
    for (char** entry = environ; *entry != nullptr; entry++) {
        std::string text = *entry;
        bool drop = false;
        for (const std::string& name : names) {
            if (text.compare(0, name.size() + 1, name + "=") == 0)
                drop = true;
        }
        if (!drop)
            kept.push_back(text);
    }
    return kept;
}
