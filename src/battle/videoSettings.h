#pragma once

// The screen-side numbers: resolution, background colour and where the arena sits on screen.
class videoSettings {
  public:
    // Defaults: camera (160, 50), 640 x 480, background (32, 32, 32), game offset (0, 0).
    videoSettings();
    ~videoSettings();

    // Camera position in pixels; kept for completeness, nothing reads it.
    void getCamera(int& x, int& y) const;
    void setCamera(int x, int y);

    // Screen size in pixels.
    void getResolution(int& x, int& y) const;
    int getResolutionX() const { return resolutionX; }
    int getResolutionY() const { return resolutionY; }
    void setResolution(int x, int y);

    // Colour the back buffer is cleared with, 0 to 255 per component.
    void getBackgroundColor(int& r, int& g, int& b) const;
    void setBackgroundColor(int r, int g, int b);

    // Screen position in pixels of the arena's top-left corner.
    int getGameOffsetX() const { return gameOffsetX; }
    int getGameOffsetY() const { return gameOffsetY; }
    void setGameOffset(int x, int y);

  private:
    int cameraX, cameraY;
    int resolutionX, resolutionY;
    int backgroundRed, backgroundGreen, backgroundBlue;
    int gameOffsetX, gameOffsetY;
};
