// The two name tables compiled into the program, as JSON texts: product type -> marketing name, and
// product type -> colour pair ("DeviceColor-DeviceEnclosureColor") -> colour name under "color".
#pragma once

#include <string_view>

namespace resources {

// The tables' JSON texts in GBK, like every text of the program. They live for the whole process;
// any thread may call (the GBK form is made once, at the first call).
std::string_view modelNameTable();
std::string_view colorNameTable();

} // namespace resources
