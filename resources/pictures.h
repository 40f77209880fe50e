// The PNG pictures compiled into the program.
#pragma once

#include <cstdint>
#include <span>

namespace resources {

enum class Picture {
    CloseIcon,    // 48x48, red rounded square with a white power symbol
    DeviceIcon,   // 1024x1024, outline of a phone with a round home button
    HomeIcon,     // 1000x1000 RGB, outline of a house with two bars
    SoftwareIcon, // 1024x1024, outline of a cloud with a downward arrow
    PersonalIcon, // 1024x1024, person silhouette in a ring
    ProductLogo,  // 360x180, the product logo of the header
    HelpRemove,   // help window: which programs to remove
    HelpDownload, // help window: the device-support download
};

// The PNG file's bytes; they live for the whole process.
std::span<const uint8_t> picture(Picture which);

} // namespace resources
