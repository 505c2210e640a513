#include "rgbImage.h"

#include <algorithm>
#include <cstdio>
#include <utility>

rgbImage::rgbImage(int width, int height, rgbColour fill)
    : w(width), h(height), rgb(static_cast<size_t>(width) * height * 3) {
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            set(x, y, fill);
        }
    }
}

rgbColour rgbImage::at(int x, int y) const {
    const std::uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
    return {p[0], p[1], p[2]};
}

void rgbImage::set(int x, int y, rgbColour c) {
    std::uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
    p[0] = static_cast<std::uint8_t>(c.r);
    p[1] = static_cast<std::uint8_t>(c.g);
    p[2] = static_cast<std::uint8_t>(c.b);
}

colourRegion rgbImage::find(rgbColour c, int x0, int y0, int x1, int y1) const {
    colourRegion region;
    if (x0 < 0)
        x0 = 0;
    if (y0 < 0)
        y0 = 0;
    if (x1 >= w)
        x1 = w - 1;
    if (y1 >= h)
        y1 = h - 1;
    double sumX = 0, sumY = 0, sumXY = 0;
    for (int y = y0; y <= y1; y++) {
        for (int x = x0; x <= x1; x++) {
            if (at(x, y) != c) {
                continue;
            }
            if (region.count == 0) {
                region.minX = region.maxX = x;
                region.minY = region.maxY = y;
            }
            region.count++;
            region.minX = std::min(region.minX, x);
            region.maxX = std::max(region.maxX, x);
            region.minY = std::min(region.minY, y);
            region.maxY = std::max(region.maxY, y);
            sumX += x;
            sumY += y;
            sumXY += static_cast<double>(x) * y;
        }
    }
    if (region.count > 0) {
        region.centreX = sumX / region.count;
        region.centreY = sumY / region.count;
        region.spreadXY = sumXY / region.count - region.centreX * region.centreY;
    }
    return region;
}

int rgbImage::countPatches(rgbColour c) const {
    std::vector<bool> seen(static_cast<size_t>(w) * h, false);
    std::vector<std::pair<int, int>> toVisit;
    int patches = 0;
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            if (seen[static_cast<size_t>(y) * w + x] || at(x, y) != c) {
                continue;
            }
            patches++;
            seen[static_cast<size_t>(y) * w + x] = true;
            toVisit.push_back({x, y});
            while (!toVisit.empty()) {
                auto [px, py] = toVisit.back();
                toVisit.pop_back();
                for (int dy = -1; dy <= 1; dy++) {
                    for (int dx = -1; dx <= 1; dx++) {
                        int nx = px + dx, ny = py + dy;
                        if (nx < 0 || ny < 0 || nx >= w || ny >= h) {
                            continue;
                        }
                        size_t index = static_cast<size_t>(ny) * w + nx;
                        if (!seen[index] && at(nx, ny) == c) {
                            seen[index] = true;
                            toVisit.push_back({nx, ny});
                        }
                    }
                }
            }
        }
    }
    return patches;
}

bool rgbImage::savePpm(const std::string& path) const {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", w, h);
    bool written = std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    return std::fclose(file) == 0 && written;
}
