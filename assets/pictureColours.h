#pragma once

// Exact colours and sizes of the pictures in picData.dat. Each key colour appears only in the
// pictures of its own kind, so a test can find a thing on screen by looking for its pixels.

struct pictureColour {
    int r, g, b;
};

// Hull of the player's tank while it lives: idle, moving, attack and stunned pictures.
constexpr pictureColour playerKeyColour{40, 150, 255};
// Stars circling the stunned player's turret.
constexpr pictureColour playerStunnedColour{255, 255, 64};
// Flames on the player's burnt-out wreck, which shows no hull key colour.
constexpr pictureColour playerDeadColour{235, 90, 25};

// Carapace of the living homing enemy: normal and stunned pictures.
constexpr pictureColour enemyKeyColour{70, 190, 50};
// Stars circling the stunned enemy's head.
constexpr pictureColour enemyStunnedColour{255, 200, 120};
// Ichor splashed under the dead enemy; the dead enemy shows no carapace key colour.
constexpr pictureColour enemyDeadColour{140, 165, 40};

// Glowing ring of the player's shot.
constexpr pictureColour shotKeyColour{255, 150, 30};

// Width and height of every player picture; the idle width is the player's collision size.
constexpr int playerPictureSize = 32;
// Width and height of every homing enemy picture.
constexpr int enemyPictureSize = 30;
// Width and height of the player's shot.
constexpr int shotPictureSize = 8;
// Width and height of the crosshair, whose centre pixel is at (size / 2, size / 2).
constexpr int cursorPictureSize = 16;
// Size of the arena floor, equal to the arena so it is drawn unstretched.
constexpr int floorPictureWidth = 500;
constexpr int floorPictureHeight = 400;
