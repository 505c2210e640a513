#include "virtualDisplay.h"

#include <X11/Xlib.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

namespace {
const char* const xvfbPath = "/usr/bin/Xvfb";
constexpr int firstNumber = 100; // well above the numbers desktops and CI services pick
constexpr int numberRange = 400;
constexpr int tries = 20;
constexpr std::chrono::seconds startLimit(10);
// Time the server gets to remove its lock file and socket before it is killed.
constexpr std::chrono::milliseconds stopGrace(2000);

// True if the number's lock file names a process that still runs. A lock left by a server that
// was killed does not count: the next server on that number clears it away itself.
bool inUse(int number) {
    std::ifstream lock("/tmp/.X" + std::to_string(number) + "-lock");
    long owner = 0;
    if (!(lock >> owner) || owner <= 0) {
        return false;
    }
    return kill(static_cast<pid_t>(owner), 0) == 0 || errno == EPERM;
}

// Without this, any X error (a window that vanished under a screenshot, say) would end the
// whole test program through Xlib's default handler.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}
} // namespace

virtualDisplay::~virtualDisplay() {
    if (display != nullptr) {
        XCloseDisplay(display);
    }
    server.stop(stopGrace);
}

bool virtualDisplay::start() {
    XSetErrorHandler(ignoreXError);
    // Start from a number of our own, so parallel test programs rarely race for the same one.
    std::mt19937 pick(
        static_cast<unsigned>(getpid()) ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    int number = firstNumber + static_cast<int>(pick() % numberRange);
    for (int attempt = 0; attempt < tries; attempt++, number++) {
        if (inUse(number)) {
            continue;
        }
        if (tryNumber(number)) {
            return true;
        }
    }
    if (problem.empty())
        problem = "no free display number found";
    return false;
}

bool virtualDisplay::tryNumber(int number) {
    const std::string candidate = ":" + std::to_string(number);
    childProcess::launch what;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    what.arguments = {xvfbPath, candidate, "-screen", "0", screen, "-nolisten", "tcp", "-noreset"};
    what.environment = childProcess::environmentWithout({});
    if (!server.start(what)) {
        problem = "cannot start Xvfb: " + server.why();
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + startLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!server.running()) {
            // Most likely another server took the number first; try the next one.
            problem = "Xvfb on " + candidate + " ended with status " +
                      std::to_string(server.exitStatus().value_or(-1));
            return false;
        }
        display = XOpenDisplay(candidate.c_str());
        if (display != nullptr) {
            // Make sure the server that answered is ours and not one that raced us.
            std::ifstream lock("/tmp/.X" + std::to_string(number) + "-lock");
            long owner = 0;
            lock >> owner;
            if (owner == server.pid()) {
                displayName = candidate;
                return true;
            }
            XCloseDisplay(display);
            display = nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    problem = "Xvfb on " + candidate + " did not accept connections in time";
    server.stop(stopGrace);
    return false;
}
