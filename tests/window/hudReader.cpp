#include "hudReader.h"

#include <allegro.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {
// The game's text as a pixel mask, drawn with Allegro's own font into a memory bitmap; Allegro
// needs no display for that.
class textMasks {
  public:
    textMasks() { ready = install_allegro(SYSTEM_NONE, &errno, atexit) == 0; }

    // Mask of text, width x fontHeight pixels, left-aligned; text beyond width is cut off.
    std::vector<bool> mask(const std::string& text, int width) const {
        std::vector<bool> bits(static_cast<size_t>(width) * height(), false);
        if (!ready) {
            return bits;
        }
        BITMAP* canvas = create_bitmap_ex(8, width, height());
        clear_to_color(canvas, 0);
        textout_ex(canvas, font, text.c_str(), 0, 0, 1, -1);
        for (int y = 0; y < height(); y++) {
            for (int x = 0; x < width; x++) {
                bits[static_cast<size_t>(y) * width + x] = getpixel(canvas, x, y) == 1;
            }
        }
        destroy_bitmap(canvas);
        return bits;
    }
    int height() const { return ready ? text_height(font) : 8; }
    int width(const std::string& text) const { return ready ? text_length(font, text.c_str()) : 0; }
    bool usable() const { return ready; }

  private:
    bool ready = false;
};

const textMasks& masks() {
    static textMasks instance;
    return instance;
}

bool matches(const rgbImage& screen, int x, int y, rgbColour c, const std::vector<bool>& mask,
             int width, int height) {
    if (x < 0 || y < 0 || x + width > screen.width() || y + height > screen.height()) {
        return false;
    }
    for (int dy = 0; dy < height; dy++) {
        for (int dx = 0; dx < width; dx++) {
            bool drawn = screen.at(x + dx, y + dy) == c;
            if (drawn != mask[static_cast<size_t>(dy) * width + dx]) {
                return false;
            }
        }
    }
    return true;
}
} // namespace

std::optional<int> hudReader::readNumber(const rgbImage& screen, int x, int y, rgbColour c,
                                         const std::string& prefix, int largest, int smallest) {
    const textMasks& text = masks();
    if (!text.usable()) {
        return std::nullopt;
    }
    // A minus sign can make the smallest number the longest text.
    const int width = std::max(text.width(prefix + std::to_string(largest)),
                               text.width(prefix + std::to_string(smallest)));
    for (int n = smallest; n <= largest; n++) {
        if (matches(screen, x, y, c, text.mask(prefix + std::to_string(n), width), width,
                    text.height())) {
            return n;
        }
    }
    return std::nullopt;
}

bool hudReader::shows(const rgbImage& screen, int x, int y, rgbColour c, const std::string& text) {
    const textMasks& masker = masks();
    const int width = masker.width(text);
    return masker.usable() &&
           matches(screen, x, y, c, masker.mask(text, width), width, masker.height());
}
