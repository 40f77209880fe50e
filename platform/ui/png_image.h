// PNG decoding with libpng into 8-bit RGBA pixels.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platform::ui {

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // width * height * 4 bytes, rows top to bottom, R G B A
};

// Decodes a whole PNG file held in memory. False (image untouched) for anything that is not a valid
// PNG picture or is larger than 16384 pixels on a side.
bool decodePng(std::span<const uint8_t> png, RgbaImage &image);

} // namespace platform::ui
