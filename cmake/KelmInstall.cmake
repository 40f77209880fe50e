# Installation and the Debian package. The program and its two device-support libraries go together
# into <prefix>/lib/kelmtools (the program finds the libraries in its own folder); <prefix>/bin/kelmtools
# is a link to the program. The virtual iPhone is a development tool and is not installed.
include(GNUInstallDirs)
set(KELM_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/kelmtools)

install(TARGETS kelmtools RUNTIME DESTINATION ${KELM_INSTALL_DIR} COMPONENT program)
install(TARGETS MobileDevice CoreFoundation LIBRARY DESTINATION ${KELM_INSTALL_DIR} COMPONENT program)
install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK \"../${KELM_INSTALL_DIR}/KelmTools\"
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/kelmtools\" SYMBOLIC)
" COMPONENT program)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/kelmtools.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT program)
foreach(size 16 32 48 64 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/images/app_icon_${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kelmtools.png
            COMPONENT program)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelmtools)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "KelmTools developers <dev@kelmtools.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Chinese-language assistant for iPhone, iPad and iPod touch")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libstdc++6, libqt6widgets6, libqt6gui6, libqt6core6, libqt6network6, libimobiledevice6, libusbmuxd6, libplist3, libcurl4, libpcre2-16-0, libpng16-16, zlib1g, fonts-noto-cjk | fonts-wqy-microhei, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "usbmuxd")
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};program;/")
include(CPack)
