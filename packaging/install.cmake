# What make install and the Debian package install: the engine, the polyglot
# configuration for xboard users and the manual page, gzipped as Debian keeps
# manual pages.
configure_file(packaging/marrowby.6.in marrowby.6 @ONLY)
set(MANUAL_PAGE ${CMAKE_CURRENT_BINARY_DIR}/marrowby.6.gz)
add_custom_command(OUTPUT ${MANUAL_PAGE}
  COMMAND gzip -9 -n -c ${CMAKE_CURRENT_BINARY_DIR}/marrowby.6 > ${MANUAL_PAGE}
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/marrowby.6)
add_custom_target(manual_page ALL DEPENDS ${MANUAL_PAGE})

install(TARGETS marrowby RUNTIME DESTINATION ${MARROWBY_INSTALL_BINDIR})
install(FILES xboard/marrowby.ini DESTINATION share/marrowby)
install(FILES ${MANUAL_PAGE} DESTINATION share/man/man6)

# cpack -G DEB: a package of the files above under /usr, built by make package.
set(CPACK_PACKAGE_NAME marrowby)
set(CPACK_PACKAGE_VERSION ${MARROWBY_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chess engine for UCI interfaces")
set(CPACK_PACKAGE_DESCRIPTION "Marrowby plays chess through the UCI protocol on standard input and output.\n\
xboard and other CECP interfaces play it through polyglot with\n\
/usr/share/marrowby/marrowby.ini. At a terminal it also prints the board,\n\
plays a console game and counts perft.")
set(CPACK_PACKAGE_CONTACT "Pellowen")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A package for another architecture (make package-arm64): dpkg-shlibdeps
# reads only the libraries of the build machine's own architecture, so the
# dependencies are named here, with the versions of the symbols the engine
# links against (the ones dpkg-shlibdeps finds for the native package); a
# statically linked engine depends on nothing.
if(CMAKE_CROSSCOMPILING)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${MARROWBY_DEBIAN_ARCHITECTURE})
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
  if(NOT MARROWBY_STATIC)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 11)")
  endif()
endif()
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "polyglot, xboard")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
