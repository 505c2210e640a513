// libFuzzer target: each input is put where the game would find its picData.dat and goes through
// the game's own start-up step, battleMain::loadPictures: the structure check, then, only for a
// sound file, Allegro's load_datafile and the check of the loaded objects; the datafile is
// unloaded again when the context goes.

#include <allegro.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "battleMain.h"
#include "dataObj.h"

namespace {
// The input's file; load_datafile takes a file name, and Allegro cannot open chunks of a
// packfile kept in memory.
std::string inputPath;

// Inputs that passed the structure check and went on to load_datafile, and the shapes they had.
long loadedInputs = 0;
std::set<int> loadedShapes;

void finish() {
    std::remove(inputPath.c_str());
    std::fprintf(stderr, "picDataFuzz: %ld inputs reached load_datafile, in %zu shapes\n",
                 loadedInputs, loadedShapes.size());
}

// Allegro's loader is not built with coverage, so libFuzzer would only keep inputs that find new
// ways to be refused. Branching here on the shape of what loaded (object types, picture sizes,
// nesting, empty data) lets it keep inputs that load in new ways as well.
int shapeOf(const DATAFILE* file, int depth) {
    int shape = 0;
    for (int i = 0; file[i].type != DAT_END; i++) {
        switch (file[i].type) {
        case DAT_BITMAP: {
            const BITMAP* pic = static_cast<const BITMAP*>(file[i].dat);
            shape += pic->w < 16 ? 1 : pic->w < 256 ? 2 : 3;
            shape += pic->h < 16 ? 1 : pic->h < 256 ? 2 : 3;
            break;
        }
        case DAT_FILE:
            shape += depth < 3 ? shapeOf(static_cast<const DATAFILE*>(file[i].dat), depth + 1) : 1;
            break;
        case DAT_PALETTE:
            shape += 5;
            break;
        default:
            shape += file[i].size == 0 ? 6 : 7;
            break;
        }
    }
    return shape;
}

bool writeInput(const uint8_t* data, size_t size) {
    std::FILE* out = std::fopen(inputPath.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    const bool written = std::fwrite(data, 1, size, out) == size;
    return std::fclose(out) == 0 && written;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    // The game's colour depth, so pictures are converted as they are when the game loads them.
    set_color_depth(24);
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr ? folder : "/tmp") + "/picDataXXXXXX";
    const int file = mkstemp(pattern.data());
    if (file < 0) {
        std::perror("picDataFuzz: cannot make the input file");
        std::exit(1);
    }
    close(file);
    inputPath = pattern;
    std::atexit(finish);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!writeInput(data, size)) {
        std::perror("picDataFuzz: cannot write the input file");
        std::abort();
    }
    dataObj context;
    battleMain battle;
    battle.setDataObj(&context);
    battle.loadPictures(inputPath.c_str());
    if (context.getDatafile() != nullptr) {
        loadedInputs++;
        loadedShapes.insert(shapeOf(context.getDatafile(), 0));
    }
    return 0;
}
