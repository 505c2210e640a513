#pragma once

#include <allegro.h>

// The playing field: its size, its picture and the knockback cap.
class arena {
  public:
    // Defaults: 500 x 400 pixels, no picture, knockback cap 20.0.
    arena();

    // Arena size in pixels.
    int getArenaSizeX() const { return arenaSizeX; }
    int getArenaSizeY() const { return arenaSizeY; }
    void setArenaSize(int x, int y);

    // Picture stretched over the arena; belongs to the datafile, never released here.
    BITMAP* getArenaPic() const { return arenaPic; }
    void setArenaPic(BITMAP* pic) { arenaPic = pic; }

    // The longest knockback velocity, 16.16 pixels per tick; a reference to the field itself.
    fixed& getKnockbackCap() { return knockbackCap; }
    void setKnockbackCap(fixed& cap) { knockbackCap = cap; }

  private:
    int arenaSizeX;
    int arenaSizeY;
    BITMAP* arenaPic;
    fixed knockbackCap;
};
