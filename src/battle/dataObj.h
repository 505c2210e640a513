#pragma once

class videoSettings;
class inputObj;
class arena;
struct DATAFILE;

// The shared context handed to every unit operation: video settings, input, arena, pictures.
// It owns what it holds; the game keeps it until the program ends.
class dataObj {
  public:
    // Creates the input object, the video settings and the arena, in that order.
    dataObj();
    // Unloads the datafile and deletes the objects it holds.
    ~dataObj();
    dataObj(const dataObj&) = delete;
    dataObj& operator=(const dataObj&) = delete;

    videoSettings* getVideoSettings() const { return video; }
    // Replaces the pointer without deleting the old object (the caller keeps it); returns 0.
    int setVideoSettings(videoSettings* v);

    inputObj* getInputObj() const { return input; }
    // Replaces the pointer without deleting the old object; returns 0.
    int setInputObj(inputObj* i);

    arena* getArena() const { return arenaInfo; }
    // Replaces the pointer without deleting the old object; returns 0.
    int setArena(arena* a);

    // The loaded picture datafile, owned; null until loaded.
    DATAFILE* getDatafile() const { return datafile; }
    // Loads the named datafile and keeps it; returns it, or null when it cannot be loaded.
    DATAFILE* setDatafile(const char* name);

  private:
    videoSettings* video;
    inputObj* input;
    arena* arenaInfo;
    DATAFILE* datafile;
};
