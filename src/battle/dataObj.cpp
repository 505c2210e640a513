#include "dataObj.h"

#include <allegro.h>

#include "arena.h"
#include "inputObj.h"
#include "videoSettings.h"

dataObj::dataObj() : video(nullptr), input(nullptr), arenaInfo(nullptr), datafile(nullptr) {
    input = new inputObj();
    video = new videoSettings();
    arenaInfo = new arena();
}

dataObj::~dataObj() {
    if (datafile != nullptr) {
        unload_datafile(datafile);
    }
    delete arenaInfo;
    delete video;
    delete input;
}

int dataObj::setVideoSettings(videoSettings* v) {
    video = v;
    return 0;
}

int dataObj::setInputObj(inputObj* i) {
    input = i;
    return 0;
}

int dataObj::setArena(arena* a) {
    arenaInfo = a;
    return 0;
}

DATAFILE* dataObj::setDatafile(const char* name) {
    datafile = load_datafile(name);
    return datafile;
}
