#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>

// Readings of a running process from /proc, for the tools that measure the game.
namespace processStats {
// Processor time (user + system) from a /proc stat file, of a process (/proc/PID/stat) or of
// one of its threads (/proc/PID/task/TID/stat); 0 when the file cannot be read.
std::chrono::milliseconds cpuTimeFromStat(const std::string& statPath);
// Processor time of each thread of the process so far, by thread id.
std::map<pid_t, std::chrono::milliseconds> threadCpuTimes(pid_t pid);
// Write calls made so far by the process's main thread, or -1 when unreadable. The game's main
// thread writes to the X server once per frame it shows (one MIT-SHM put-image each, as strace
// shows), so this counts frames shown.
long mainThreadWrites(pid_t pid);
// A memory figure of /proc/PID/status such as "VmRSS" or "VmHWM", in megabytes (2^20 bytes);
// negative when unreadable.
double statusMegabytes(pid_t pid, const std::string& field);
} // namespace processStats
