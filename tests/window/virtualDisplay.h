#pragma once

#include <string>

#include "childProcess.h"

typedef struct _XDisplay Display;

// A private X server (Xvfb, one 1024 x 768 screen at 24 bits, no TCP) on a free display
// number, with one connection of the tests to it. The destructor closes the connection and
// ends the server.
class virtualDisplay {
  public:
    // The screen's size, in pixels.
    static constexpr int width = 1024;
    static constexpr int height = 768;

    virtualDisplay() = default;
    ~virtualDisplay();
    virtualDisplay(const virtualDisplay&) = delete;
    virtualDisplay& operator=(const virtualDisplay&) = delete;

    // Starts the server and waits until it accepts connections; false (with why()) if no
    // display number could be had within a few tries.
    bool start();
    // The value for DISPLAY, like ":23"; empty before start.
    const std::string& name() const { return displayName; }
    // The tests' own connection; null before start. Owned by this object.
    Display* connection() const { return display; }
    // Why start failed.
    const std::string& why() const { return problem; }

  private:
    bool tryNumber(int number);

    childProcess server;
    std::string displayName;
    Display* display = nullptr;
    std::string problem;
};
