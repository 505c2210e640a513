#include "videoSettings.h"

namespace {
constexpr int defaultCameraX = 160;
constexpr int defaultCameraY = 50;
constexpr int screenWidth = 640;
constexpr int screenHeight = 480;
constexpr int backgroundGrey = 32;
} // namespace

videoSettings::videoSettings()
    : cameraX(defaultCameraX), cameraY(defaultCameraY), resolutionX(screenWidth),
      resolutionY(screenHeight), backgroundRed(backgroundGrey), backgroundGreen(backgroundGrey),
      backgroundBlue(backgroundGrey), gameOffsetX(0), gameOffsetY(0) {}

videoSettings::~videoSettings() {}

void videoSettings::getCamera(int& x, int& y) const {
    x = cameraX;
    y = cameraY;
}

void videoSettings::setCamera(int x, int y) {
    cameraX = x;
    cameraY = y;
}

void videoSettings::getResolution(int& x, int& y) const {
    x = resolutionX;
    y = resolutionY;
}

void videoSettings::setResolution(int x, int y) {
    resolutionX = x;
    resolutionY = y;
}

void videoSettings::getBackgroundColor(int& r, int& g, int& b) const {
    r = backgroundRed;
    g = backgroundGreen;
    b = backgroundBlue;
}

void videoSettings::setBackgroundColor(int r, int g, int b) {
    backgroundRed = r;
    backgroundGreen = g;
    backgroundBlue = b;
}

void videoSettings::setGameOffset(int x, int y) {
    gameOffsetX = x;
    gameOffsetY = y;
}
