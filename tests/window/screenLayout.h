#pragma once

#include <optional>

#include "hudReader.h"
#include "pictureColours.h"
#include "rgbImage.h"

// Where the game draws things and in which colours, as the window tests look for them on screen.

constexpr rgbColour colourOf(pictureColour c) {
    return {c.r, c.g, c.b};
}

// Key colours of the unit pictures: each appears only in its own kind's pictures.
constexpr rgbColour playerColour = colourOf(playerKeyColour);
constexpr rgbColour enemyColour = colourOf(enemyKeyColour);
constexpr rgbColour shotColour = colourOf(shotKeyColour);

// The arena's rectangle on screen, edges included, and the player's starting point.
constexpr int arenaLeft = 70, arenaTop = 40, arenaRight = 569, arenaBottom = 439;
constexpr int playerStartX = 320, playerStartY = 240;

// A resting place for the cursor inside the arena, above the player and clear of the HUD.
constexpr int restX = playerStartX, restY = 100;

// The HUD: its text colours, the health bar's outline, the second text row.
constexpr rgbColour hudGrey{128, 128, 128};
constexpr rgbColour homersTextColour{220, 220, 220};
constexpr int barLeft = 60, barRight = 450, barBottom = 20;
constexpr int textRowY = 22, fpsTextX = 250;
constexpr int homerCount = 30;

// The homing-enemy count the HUD shows, if it can be read.
inline std::optional<int> homersShown(const rgbImage& frame) {
    return hudReader::readNumber(frame, 0, textRowY, homersTextColour, "Homers: ", homerCount);
}
