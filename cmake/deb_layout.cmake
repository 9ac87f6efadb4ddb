# Run by CPack on the staged install, before it builds the .deb: Debian keeps a
# game's program in /usr/games (the program still finds ../share/fuifje/ from
# there) and wants the changelog of a native package in its doc folder.
set(usr ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr)
file(MAKE_DIRECTORY ${usr}/games)
file(RENAME ${usr}/bin/fuifje ${usr}/games/fuifje)
file(GLOB other_programs ${usr}/bin/*)
if(NOT other_programs)
    file(REMOVE_RECURSE ${usr}/bin)
endif()
file(COPY ${CPACK_FUIFJE_CHANGELOG} DESTINATION ${usr}/share/doc/fuifje)
