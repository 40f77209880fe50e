// The name tables: the files in resources/tables/ are kept in UTF-8 so that they read well in the
// source tree; the program hands out their GBK form.
#include "resources/tables.h"

#include "platform/text/text.h"

#include <string>

extern const unsigned char kelm_resource_tables_model_names_json[];
extern const unsigned long kelm_resource_tables_model_names_json_size;
extern const unsigned char kelm_resource_tables_color_names_json[];
extern const unsigned long kelm_resource_tables_color_names_json_size;

namespace resources {

namespace {

std::string gbkOf(const unsigned char *bytes, unsigned long size)
{
    return platform::text::utf8ToGbk(std::string_view(reinterpret_cast<const char *>(bytes), size));
}

} // namespace

std::string_view modelNameTable()
{
    static const std::string text =
        gbkOf(kelm_resource_tables_model_names_json, kelm_resource_tables_model_names_json_size);
    return text;
}

std::string_view colorNameTable()
{
    static const std::string text =
        gbkOf(kelm_resource_tables_color_names_json, kelm_resource_tables_color_names_json_size);
    return text;
}

} // namespace resources
