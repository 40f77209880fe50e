// Lookup of the embedded pictures (the byte arrays are generated from resources/images/).
#include "resources/pictures.h"

#define KELM_EMBEDDED(symbol)                                                                                          \
    extern const unsigned char symbol[];                                                                               \
    extern const unsigned long symbol##_size;
KELM_EMBEDDED(kelm_resource_images_close_icon_png)
KELM_EMBEDDED(kelm_resource_images_device_icon_png)
KELM_EMBEDDED(kelm_resource_images_home_icon_png)
KELM_EMBEDDED(kelm_resource_images_software_icon_png)
KELM_EMBEDDED(kelm_resource_images_personal_icon_png)
KELM_EMBEDDED(kelm_resource_images_product_logo_png)
KELM_EMBEDDED(kelm_resource_images_help_remove_png)
KELM_EMBEDDED(kelm_resource_images_help_download_png)
#undef KELM_EMBEDDED

namespace resources {

std::span<const uint8_t> picture(Picture which)
{
    switch (which) {
    case Picture::CloseIcon:
        return {kelm_resource_images_close_icon_png, kelm_resource_images_close_icon_png_size};
    case Picture::DeviceIcon:
        return {kelm_resource_images_device_icon_png, kelm_resource_images_device_icon_png_size};
    case Picture::HomeIcon:
        return {kelm_resource_images_home_icon_png, kelm_resource_images_home_icon_png_size};
    case Picture::SoftwareIcon:
        return {kelm_resource_images_software_icon_png, kelm_resource_images_software_icon_png_size};
    case Picture::PersonalIcon:
        return {kelm_resource_images_personal_icon_png, kelm_resource_images_personal_icon_png_size};
    case Picture::ProductLogo:
        return {kelm_resource_images_product_logo_png, kelm_resource_images_product_logo_png_size};
    case Picture::HelpRemove:
        return {kelm_resource_images_help_remove_png, kelm_resource_images_help_remove_png_size};
    case Picture::HelpDownload:
        return {kelm_resource_images_help_download_png, kelm_resource_images_help_download_png_size};
    }
    return {};
}

} // namespace resources
