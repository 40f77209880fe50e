// PNG decoding of the embedded pictures, and refusal of anything that is not a whole PNG picture.
#include "platform/ui/png_image.h"
#include "resources/pictures.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::ui::decodePng;
using platform::ui::RgbaImage;

TEST(PngImage, DecodesTheProgramsPictures)
{
    const struct {
        resources::Picture picture;
        int width;
        int height;
    } cases[] = {
        {resources::Picture::CloseIcon, 48, 48},     {resources::Picture::DeviceIcon, 1024, 1024},
        {resources::Picture::HomeIcon, 1000, 1000},  {resources::Picture::SoftwareIcon, 1024, 1024},
        {resources::Picture::PersonalIcon, 1024, 1024}, {resources::Picture::ProductLogo, 360, 180},
    };
    for (const auto &c : cases) {
        RgbaImage image;
        ASSERT_TRUE(decodePng(resources::picture(c.picture), image));
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.pixels.size(), static_cast<size_t>(c.width) * c.height * 4);
    }
}

TEST(PngImage, RefusesBrokenInput)
{
    const auto close = resources::picture(resources::Picture::CloseIcon);
    const std::vector<uint8_t> whole(close.begin(), close.end());
    std::vector<uint8_t> badCrc = whole;
    badCrc[40] ^= 0xFF;
    const std::vector<std::vector<uint8_t>> inputs = {
        {},
        {0x89, 'P', 'N', 'G'},
        std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2)),
        badCrc,
        std::vector<uint8_t>(4096, 0xAB),
    };
    for (const auto &input : inputs) {
        RgbaImage image;
        image.width = 7;
        EXPECT_FALSE(decodePng(input, image)) << input.size();
        EXPECT_EQ(image.width, 7) << "untouched on failure";
    }
}

} // namespace
