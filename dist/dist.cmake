# A normal system install and the Debian package built from it:
#   games/quorbit, games/orvanelobby, games/quorbit-lzrw1
#   share/quorbit/quorbittiles/*.bmp, share/quorbit/sounds/*.wav,
#   share/quorbit/languages/CODE.words and CODE.graph for each language built
#   share/applications, share/metainfo, share/icons/hicolor, share/man/man6,
#   share/doc/quorbit (copyright, changelog), lib/systemd/system/quorbit-server@.service
# Included from the top CMakeLists.txt when the program is built.
include(GNUInstallDirs)

set(QUORBIT_APP_ID org.quorbit.Quorbit)
set(QUORBIT_HOMEPAGE "https://quorbit.example.org" CACHE STRING "The game's web site, for the package and its metadata")
set(QUORBIT_RELEASE_DATE "2026-12-09")
set(QUORBIT_DIST ${PROJECT_SOURCE_DIR}/dist)
set(QUORBIT_DIST_OUT ${PROJECT_BINARY_DIR}/dist)

# The programs, where Debian keeps games: the game, the lobby and the
# compressor of the tally files.
set(QUORBIT_INSTALL_GAMESDIR games CACHE STRING "Where the game's programs are installed, under the prefix")
install(TARGETS quorbit RUNTIME DESTINATION ${QUORBIT_INSTALL_GAMESDIR})
if(TARGET orvanelobby)
  install(TARGETS orvanelobby RUNTIME DESTINATION ${QUORBIT_INSTALL_GAMESDIR})
endif()
install(TARGETS quorbit-lzrw1 RUNTIME DESTINATION ${QUORBIT_INSTALL_GAMESDIR})

# The shipped data.
file(GLOB QUORBIT_SOUNDS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/assets/sounds/*.wav)
install(FILES ${QUORBIT_SOUNDS} DESTINATION ${CMAKE_INSTALL_DATADIR}/quorbit/sounds)
file(GLOB QUORBIT_SHIPPED_TILE_SETS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/assets/tiles/*.bmp)
install(FILES ${QUORBIT_SHIPPED_TILE_SETS} DESTINATION ${CMAKE_INSTALL_DATADIR}/quorbit/quorbittiles)

# Each language built from a Debian word list: its word file and its word graph.
install(FILES ${QUORBIT_LANGUAGE_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/quorbit/languages)

# Menu entry, metadata and icons.
configure_file(${QUORBIT_DIST}/${QUORBIT_APP_ID}.metainfo.xml.in ${QUORBIT_DIST_OUT}/${QUORBIT_APP_ID}.metainfo.xml @ONLY)
install(FILES ${QUORBIT_DIST}/${QUORBIT_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The lobby's entry, which also opens quorbit:// invite links.
install(FILES ${QUORBIT_DIST}/${QUORBIT_APP_ID}.Lobby.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUORBIT_DIST_OUT}/${QUORBIT_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/quorbit.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/quorbit-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME quorbit.png)
endforeach()

# Manual pages and the package's documents, compressed as Debian wants them.
find_program(QUORBIT_GZIP gzip REQUIRED)
set(QUORBIT_COMPRESSED)
function(quorbit_gzip source name)
  set(out ${QUORBIT_DIST_OUT}/${name}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${QUORBIT_GZIP} -9n -c ${source} > ${out}
    DEPENDS ${source} VERBATIM)
  set(QUORBIT_COMPRESSED ${QUORBIT_COMPRESSED} ${out} PARENT_SCOPE)
endfunction()
foreach(page quorbit.6 orvanelobby.6 quorbit-lzrw1.6)
  configure_file(${QUORBIT_DIST}/${page} ${QUORBIT_DIST_OUT}/man/${page} @ONLY)
  quorbit_gzip(${QUORBIT_DIST_OUT}/man/${page} man/${page})
  string(REGEX REPLACE ".*\\." "" section ${page})
  install(FILES ${QUORBIT_DIST_OUT}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()

# The copyright file: the game's own notice, then the word lists' (they are built in).
file(READ ${QUORBIT_DIST}/copyright.in QUORBIT_COPYRIGHT_HEAD)
string(CONFIGURE "${QUORBIT_COPYRIGHT_HEAD}" QUORBIT_COPYRIGHT_HEAD @ONLY)
file(READ ${PROJECT_SOURCE_DIR}/data/SCOWL-COPYRIGHT QUORBIT_SCOWL_NOTICE)
# Then the notice of every Debian word list that a language was built from, as its
# package states it.
set(QUORBIT_LIST_NOTICES "")
set(QUORBIT_NOTICE_FILES)
set(packages ${QUORBIT_LANGUAGE_PACKAGES})
list(REMOVE_DUPLICATES packages)
foreach(package ${packages})
  set(notice /usr/share/doc/${package}/copyright)
  if(NOT EXISTS ${notice})
    message(WARNING "No copyright notice for the word list package ${package} (${notice})")
    continue()
  endif()
  file(READ ${notice} text)
  string(APPEND QUORBIT_LIST_NOTICES
    "\n-------------------------------------------------------------------------------\n"
    "The word list of Debian's \"${package}\" package, from which a language's files\n"
    "(share/quorbit/languages) are derived; its notice follows in full.\n\n${text}")
  list(APPEND QUORBIT_NOTICE_FILES ${notice})
endforeach()
file(WRITE ${QUORBIT_DIST_OUT}/copyright "${QUORBIT_COPYRIGHT_HEAD}${QUORBIT_SCOWL_NOTICE}${QUORBIT_LIST_NOTICES}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${QUORBIT_DIST}/copyright.in ${PROJECT_SOURCE_DIR}/data/SCOWL-COPYRIGHT ${QUORBIT_NOTICE_FILES})
configure_file(${QUORBIT_DIST}/changelog.in ${QUORBIT_DIST_OUT}/changelog @ONLY)
quorbit_gzip(${QUORBIT_DIST_OUT}/changelog changelog)
add_custom_target(quorbit_dist_files ALL DEPENDS ${QUORBIT_COMPRESSED})
install(FILES ${QUORBIT_DIST_OUT}/copyright ${QUORBIT_DIST_OUT}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorbit)

# The game server as a system service, installed but not enabled.
# It starts the package's /usr/games/quorbit.
install(FILES ${QUORBIT_DIST}/quorbit-server@.service DESTINATION lib/systemd/system)

# The Debian package: cpack -G DEB (tools/package.sh).
set(CPACK_PACKAGE_NAME quorbit)
set(CPACK_PACKAGE_VENDOR "The Quorbit developers")
set(CPACK_PACKAGE_CONTACT "The Quorbit developers <quorbit@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn-based word game on a board of sliding letter tiles")
# The long description; CPack indents it and writes " ." for the empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quorbit is a word game for up to four players, each for himself or as two
teams, on a 7 by 7 board of letter tiles. A player chains up to seven
touching squares into a word and scores its letters and the bonus squares it
touches; then the tiles slide the way he chooses and new tiles fill the holes.

It plays solo against the computer player Zubo, or hosts and joins games over
the network with spectators who watch and chat. A game server without a
window and a systemd unit for it are included.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUORBIT_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# Qt finds its platform plugins at run time, so no library names them; nor do the fonts the
# windows ask for by name: DejaVu Sans and Serif (core) and their italic and condensed faces
# (extra), which the logo and the tiles use.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core, fonts-dejavu-extra")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
