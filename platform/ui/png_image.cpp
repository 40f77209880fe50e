// PNG decoding through libpng's simplified reading interface.
#include "platform/ui/png_image.h"

#include <png.h>

namespace platform::ui {

bool decodePng(std::span<const uint8_t> png, RgbaImage &image)
{
    if (png.size() < 8 || png_sig_cmp(png.data(), 0, 8) != 0)
        return false;
    png_image decoder{};
    decoder.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&decoder, png.data(), png.size()))
        return false;
    constexpr png_uint_32 kMaxSide = 16384;
    if (decoder.width == 0 || decoder.height == 0 || decoder.width > kMaxSide || decoder.height > kMaxSide) {
        png_image_free(&decoder);
        return false;
    }
    decoder.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(decoder));
    if (!png_image_finish_read(&decoder, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&decoder);
        return false;
    }
    image.width = static_cast<int>(decoder.width);
    image.height = static_cast<int>(decoder.height);
    image.pixels = std::move(pixels);
    return true;
}

} // namespace platform::ui
