// libFuzzer target: each input is put where the game would find its picData.dat and goes through
// the game's own start-up step, battleMain::loadPictures: the structure check, then, only for a
// sound file, Allegro's load_datafile and the check of the loaded objects.

#include <allegro.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "battleMain.h"
#include "dataObj.h"

namespace {
// load_datafile takes a file name: Allegro cannot open chunks of a packfile kept in memory.
std::string inputPath;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(24); // the game's depth, so pictures are converted as when it loads them
    const char* folder = std::getenv("TMPDIR");
    inputPath = std::string(folder != nullptr ? folder : "/tmp") + "/picDataFuzz." +
                std::to_string(getpid());
    std::atexit([] { std::remove(inputPath.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* out = std::fopen(inputPath.c_str(), "wb");
    if (out == nullptr || std::fwrite(data, 1, size, out) != size || std::fclose(out) != 0) {
        std::perror("picDataFuzz: cannot write the input file");
        std::abort();
    }
    dataObj context;
    battleMain battle;
    battle.setDataObj(&context);
    battle.loadPictures(inputPath.c_str());
    return 0;
}
