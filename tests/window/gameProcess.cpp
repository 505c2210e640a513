#include "gameProcess.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {
std::string readFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Quotes a path for the stand-in's shell script.
std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}
} // namespace

gameProcess::~gameProcess() {
    game.stop();
    if (!scratch.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(scratch, ignored);
    }
}

bool gameProcess::start(const settings& how) {
    namespace fs = std::filesystem;
    if (scratch.empty()) {
        std::string pattern = (fs::temp_directory_path() / "arenaWindowTest.XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            problem = "cannot make a scratch folder";
            return false;
        }
        scratch = pattern;
        work = scratch + "/work";
        tools = scratch + "/tools";
        fs::create_directory(work);
        fs::create_directory(tools);
    }
    std::error_code failed;
    if (how.withPicData) {
        fs::copy_file(how.picDataPath, work + "/picData.dat", fs::copy_options::overwrite_existing,
                      failed);
        if (failed) {
            problem = "cannot copy " + how.picDataPath + ": " + failed.message();
            return false;
        }
    }

    if (how.prepare && !how.prepare(work)) {
        problem = "cannot prepare the working folder " + work;
        return false;
    }

    const std::string standIn = tools + "/xmessage";
    const std::string hold = tools + "/holdMessages";
    {
        std::ofstream script(standIn);
        script << "#!/bin/sh\n"
               << "# Stands in for xmessage: records the message instead of waiting for a click.\n"
               << "echo \"$*\" >> " << shellQuoted(tools + "/messages.txt") << "\n"
               << "# While the tests hold it, it waits like a dialog would, but 20 s at most.\n"
               << "n=0\n"
               << "while [ -e " << shellQuoted(hold) << " ] && [ $n -lt 400 ]; do\n"
               << "    sleep 0.05\n"
               << "    n=$((n + 1))\n"
               << "done\n"
               << "exit 0\n";
    }
    chmod(standIn.c_str(), 0755);
    if (how.holdMessages) {
        std::ofstream(hold).put('\n');
    }

    childProcess::launch what;
    what.arguments = how.wrapper;
    what.arguments.push_back(how.gamePath);
    what.workingFolder = work;
    what.errorFile = scratch + "/stderr.txt";
    what.outputFile = scratch + "/stdout.txt";
    what.environment = childProcess::environmentWithout({"DISPLAY", "PATH"});
    const char* path = std::getenv("PATH");
    what.environment.push_back("PATH=" + tools + ":" + (path != nullptr ? path : "/usr/bin:/bin"));
    if (!how.display.empty()) {
        what.environment.push_back("DISPLAY=" + how.display);
    }
    if (!game.start(what)) {
        problem = "cannot start the game: " + game.why();
        return false;
    }
    return true;
}

std::string gameProcess::errorText() const {
    return readFile(scratch + "/stderr.txt");
}

std::string gameProcess::messages() const {
    return readFile(tools + "/messages.txt");
}

void gameProcess::releaseMessages() {
    std::error_code ignored;
    std::filesystem::remove(tools + "/holdMessages", ignored);
}
