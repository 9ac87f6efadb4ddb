# Installs the program in the usual shape of a Linux program under a prefix P:
#   P/bin/fuifje                          the program
#   P/lib/<triplet>/fuifje/               the video encoder module, opened for a video export
#   P/share/fuifje/                       the built-in pictures and music, and
#                                         the web module (when it was built)
#   P/share/applications/<id>.desktop     the menu entry (opens invitation files)
#   P/share/icons/hicolor/<N>x<N>/apps/   the icon at 48, 128 and 256 pixels
#   P/share/metainfo/<id>.metainfo.xml    the software centres' description
#   P/share/man/man6/fuifje.6.gz          the manual page
#   P/share/doc/fuifje/copyright
#   P/share/doc/fuifje/examples/          two example invitations to play or copy
# The program finds P/share/fuifje/ and the module's folder relative to its own
# (src/show/data_folder.cpp, src/platform/video_encoder_loader.cpp), so the
# prefix may change at install time.
include(GNUInstallDirs)
set(FUIFJE_APP_ID nl.fuifje.Fuifje)

file(RELATIVE_PATH installed_data ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/fuifje)
target_compile_definitions(fuifje_show PRIVATE FUIFJE_INSTALLED_DATA="${installed_data}")
# The video module's folder: Debian keeps a package's private libraries in
# lib/<multiarch triplet>/<package>/ whatever the prefix (outside the folders
# of public libraries, so its package runs no ldconfig).
if(CMAKE_LIBRARY_ARCHITECTURE)
    set(module_folder lib/${CMAKE_LIBRARY_ARCHITECTURE}/fuifje)
else()
    set(module_folder ${CMAKE_INSTALL_LIBDIR}/fuifje)
endif()
file(RELATIVE_PATH installed_modules ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${module_folder})
target_compile_definitions(fuifje_platform PRIVATE FUIFJE_INSTALLED_MODULES="${installed_modules}")

# The icons, drawn by our generator; the metadata and the manual page with the
# version filled in, the page compressed without a time stamp (the same bytes
# on every build).
set(icon_folder ${PROJECT_BINARY_DIR}/icons/hicolor)
set(icons)
foreach(size 48 128 256)
    list(APPEND icons ${icon_folder}/${size}x${size}/apps/${FUIFJE_APP_ID}.png)
endforeach()
add_custom_command(OUTPUT ${icons}
    COMMAND fuifje_make_icons ${icon_folder} ${FUIFJE_APP_ID}
    DEPENDS fuifje_make_icons)
configure_file(data/${FUIFJE_APP_ID}.metainfo.xml.in ${PROJECT_BINARY_DIR}/${FUIFJE_APP_ID}.metainfo.xml @ONLY)
configure_file(data/fuifje.6.in ${PROJECT_BINARY_DIR}/man/fuifje.6 @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/man/fuifje.6.gz
    COMMAND gzip -9nkf ${PROJECT_BINARY_DIR}/man/fuifje.6
    DEPENDS ${PROJECT_BINARY_DIR}/man/fuifje.6)
add_custom_target(fuifje_install_files ALL DEPENDS ${icons} ${PROJECT_BINARY_DIR}/man/fuifje.6.gz)

install(TARGETS fuifje RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS fuifje_video_module LIBRARY DESTINATION ${module_folder})
install(DIRECTORY assets/graph/ DESTINATION ${CMAKE_INSTALL_DATADIR}/fuifje)
if(TARGET fuifje_web_module) # the page export's starting point (cmake/web_module.cmake)
    install(FILES ${web_module} DESTINATION ${CMAKE_INSTALL_DATADIR}/fuifje)
endif()
install(FILES data/${FUIFJE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/${FUIFJE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${icon_folder}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${PROJECT_BINARY_DIR}/man/fuifje.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES data/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/fuifje)
install(DIRECTORY examples DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/fuifje)

# Installs into a temporary DESTDIR and checks the result (tests/install/).
add_test(NAME install_test COMMAND ${PROJECT_SOURCE_DIR}/tests/install/install_test.sh ${PROJECT_BINARY_DIR})
