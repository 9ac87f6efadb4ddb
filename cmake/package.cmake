# The Debian package: `cpack -G DEB` in the build folder makes
# fuifje_<version>_<arch>.deb from the install rules (cmake/install.cmake),
# under /usr, with two changes Debian asks of a game that is its own upstream
# (cmake/deb_layout.cmake): the program in /usr/games, and a changelog. Its
# dependencies are worked out by dpkg-shlibdeps from the libraries the program
# actually links, and the program is stripped.
set(FUIFJE_MAINTAINER "The Fuifje developers <fuifje@example.org>"
    CACHE STRING "Maintainer of the Debian package (name <address>)")

# The changelog a native package carries, compressed as the man page is.
execute_process(COMMAND date -u -R -d "${FUIFJE_RELEASE_DATE} 12:00"
    OUTPUT_VARIABLE FUIFJE_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(data/changelog.in ${PROJECT_BINARY_DIR}/deb/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/deb/changelog.gz
    COMMAND gzip -9nkf ${PROJECT_BINARY_DIR}/deb/changelog
    DEPENDS ${PROJECT_BINARY_DIR}/deb/changelog)
add_custom_target(fuifje_deb_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/deb/changelog.gz)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fuifje)
set(CPACK_PACKAGE_VENDOR "The Fuifje developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "animated party invitation that plays by itself")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Fuifje plays a party invitation full screen, with music, until Escape is\n"
    "pressed: a night sea with a drifting boat blends into day, the invitation\n"
    "text rolls across the screen on sine waves, year captions fly past on a\n"
    "cloud, and the date and time of the party slide in and stay.\n"
    "A host may describe an invitation of their own in a small TOML file.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${FUIFJE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/deb_layout.cmake)
set(CPACK_FUIFJE_CHANGELOG ${PROJECT_BINARY_DIR}/deb/changelog.gz)
include(CPack)
