# kelm_add_gtest(<name> SOURCES <files...> LIBS <targets...> [PLAIN])
# Builds one GoogleTest executable and registers its cases with CTest. The program's own tests are
# compiled like the program (GBK literals); PLAIN is for the device libraries and tools, which are
# UTF-8 code. GUI tests run on Qt's offscreen platform (set by the test main and here). Each test
# knows KELM_TEST_SOURCE_DIR and KELM_TEST_BIN_DIR as compiled-in strings.
include(GoogleTest)
find_package(GTest REQUIRED)

function(kelm_add_gtest name)
    cmake_parse_arguments(ARG "PLAIN" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_PLAIN)
        target_link_libraries(${name} PRIVATE kelm_options GTest::gtest GTest::gtest_main ${ARG_LIBS})
    else()
        target_link_libraries(${name} PRIVATE kelm_system ${ARG_LIBS})
    endif()
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    # Where the sources and the build's programs are, compiled in (a CTest environment list would be
    # split at its semicolons by gtest_discover_tests).
    target_compile_definitions(${name} PRIVATE KELM_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                               KELM_TEST_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 120)
endfunction()
