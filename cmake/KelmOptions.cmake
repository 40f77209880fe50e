# Shared compile settings as interface targets:
#   kelm_options  every target of the project: C++20, warnings, hidden symbols, sanitizers
#   kelm_system   the program's own code on top of that: texts are GBK byte strings at run time,
#                 and no implicit conversion of a narrow string into a QString.
add_library(kelm_options INTERFACE)
target_compile_features(kelm_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(kelm_options INTERFACE
    -Wall -Wextra
    $<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual>
    -fvisibility=hidden)
if(KELM_WERROR)
    target_compile_options(kelm_options INTERFACE -Werror)
endif()
if(KELM_SANITIZE)
    target_compile_options(kelm_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                  -fno-sanitize-recover=undefined)
    target_link_options(kelm_options INTERFACE -fsanitize=address,undefined)
endif()

add_library(kelm_system INTERFACE)
target_link_libraries(kelm_system INTERFACE kelm_options)
# GB18030 rather than GBK: libstdc++'s <chrono> holds "µs", which GBK cannot encode. For every
# text of the program both give the same bytes.
target_compile_options(kelm_system INTERFACE -fexec-charset=GB18030)
target_compile_definitions(kelm_system INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_FROM_BYTEARRAY
                                                 QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
target_include_directories(kelm_system INTERFACE ${CMAKE_SOURCE_DIR})
