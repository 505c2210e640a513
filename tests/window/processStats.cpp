#include "processStats.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace processStats {

std::chrono::milliseconds cpuTimeFromStat(const std::string& statPath) {
    std::ifstream file(statPath);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The command name may hold spaces; the fields after its closing bracket are plain.
    size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return std::chrono::milliseconds(0);
    }
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long long userTicks = 0, systemTicks = 0;
    // Fields 3 to 13 come first; utime and stime are fields 14 and 15.
    for (int number = 3; number <= 15 && fields >> field; number++) {
        if (number == 14)
            userTicks = std::stoll(field);
        if (number == 15)
            systemTicks = std::stoll(field);
    }
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    return std::chrono::milliseconds((userTicks + systemTicks) * 1000 / ticksPerSecond);
}

std::map<pid_t, std::chrono::milliseconds> threadCpuTimes(pid_t pid) {
    std::map<pid_t, std::chrono::milliseconds> times;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code failed;
    for (const auto& entry : std::filesystem::directory_iterator(tasks, failed)) {
        const std::string tid = entry.path().filename().string();
        times[static_cast<pid_t>(std::stol(tid))] = cpuTimeFromStat(tasks + "/" + tid + "/stat");
    }
    return times;
}

long mainThreadWrites(pid_t pid) {
    std::ifstream io("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/io");
    std::string name;
    long value = -1;
    while (io >> name) {
        if (name == "syscw:") {
            io >> value;
            break;
        }
    }
    return value;
}

double statusMegabytes(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size() + 1, field + ":") == 0) {
            // "VmRSS:	   12345 kB"
            return std::stod(line.substr(field.size() + 1)) / 1024;
        }
    }
    return -1;
}

} // namespace processStats
