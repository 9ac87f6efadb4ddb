# The web module (web/CMakeLists.txt): the show compiled with emscripten into
# one page, built in <build>/web when emscripten is installed and copied beside
# the program as fuifje-web.html, where `fuifje --export x.html` finds it (an
# install rule may copy it into the data folder, where it is found too). Its
# test plays an exported page in headless Chromium; without emscripten,
# Chromium or Node the test says which is missing and is skipped.
option(FUIFJE_WEB "Build the web module when emscripten is installed" ON)
find_program(FUIFJE_EMCMAKE emcmake)
find_program(FUIFJE_CHROMIUM NAMES chromium chromium-browser)
find_program(FUIFJE_NODE node)

set(web_module ${PROJECT_BINARY_DIR}/fuifje-web.html)
if(FUIFJE_WEB AND FUIFJE_EMCMAKE AND NOT FUIFJE_SANITIZE AND NOT FUIFJE_FUZZ)
    include(ExternalProject)
    # Debian's emscripten needs NODE_PATH to find its own JavaScript packages.
    set(emscripten_env ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
    ExternalProject_Add(fuifje_web_module
        SOURCE_DIR ${PROJECT_SOURCE_DIR}/web
        BINARY_DIR ${PROJECT_BINARY_DIR}/web
        CONFIGURE_COMMAND ${emscripten_env} ${FUIFJE_EMCMAKE} ${CMAKE_COMMAND} -S <SOURCE_DIR> -B <BINARY_DIR>
                          -G Ninja -DFUIFJE_VERSION=${PROJECT_VERSION}
        BUILD_COMMAND ${emscripten_env} ${CMAKE_COMMAND} --build <BINARY_DIR>
        INSTALL_COMMAND ${CMAKE_COMMAND} -E copy <BINARY_DIR>/fuifje-web.html ${web_module}
        BUILD_ALWAYS ON # its own build knows which sources changed
        USES_TERMINAL_BUILD ON)
    set(web_missing "")
elseif(NOT FUIFJE_EMCMAKE)
    set(web_missing "emscripten is not installed (scripts/deps.sh installs it)")
else()
    set(web_missing "the web module is not built in this configuration")
endif()
if(NOT FUIFJE_CHROMIUM OR NOT FUIFJE_NODE)
    set(web_missing "chromium or node is not installed (scripts/deps.sh installs them)")
endif()

add_test(NAME web_page_test
    COMMAND ${PROJECT_SOURCE_DIR}/tests/web/page_test.sh $<TARGET_FILE:fuifje> "${FUIFJE_CHROMIUM}"
            "${FUIFJE_NODE}" "${web_missing}")
set_tests_properties(web_page_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900)
