# The generators of the game's sounds, tile sets and icon, the lobby program, and the
# shipped tile sets beside the program. Included from app/CMakeLists.txt.

# quorbit_mksounds writes the thirteen wave cues; quorbit_mktiles draws the tile sets.
# Their outputs are committed under assets/; tools/make_media.sh runs both again.
add_executable(quorbit_mksounds ${PROJECT_SOURCE_DIR}/tools/mksounds.cpp)
target_include_directories(quorbit_mksounds PRIVATE ${QUORBIT_APP_INCLUDE})
add_executable(quorbit_mktiles ${PROJECT_SOURCE_DIR}/tools/mktiles.cpp)
target_link_libraries(quorbit_mktiles PRIVATE quorbit_engine Qt6::Gui)
# quorbit_mkicon draws the program's icon as SVG and PNG (assets/icons).
if(QUORBIT_DEV_TOOLS)
  add_executable(quorbit_mkicon ${PROJECT_SOURCE_DIR}/tools/mkicon.cpp)
  target_link_libraries(quorbit_mkicon PRIVATE Qt6::Gui)
endif()

# The lobby: a table server's people, tables and chat; it starts the game with its three
# parameters and listens for the game's silent link. Its window is part of quorbit_app.
add_executable(orvanelobby ${PROJECT_SOURCE_DIR}/app/lobby/main.cpp)
target_link_libraries(orvanelobby PRIVATE quorbit_app)

# The tile folder beside the program in the build tree, so a program run from there finds
# the shipped sets (a portable build); an install puts them in share/quorbit.
file(GLOB QUORBIT_TILE_SETS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/assets/tiles/*.bmp)
add_custom_target(quorbit_tiles ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:quorbit>/quorbittiles
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QUORBIT_TILE_SETS} $<TARGET_FILE_DIR:quorbit>/quorbittiles
  DEPENDS ${QUORBIT_TILE_SETS}
  COMMENT "Copying the tile sets beside the program")

# Shows the help, about or download window, or a board in a tile set, on its own: for
# tools/media_screenshots.sh.
if(QUORBIT_DEV_TOOLS)
  add_executable(quorbit_media_gallery ${PROJECT_SOURCE_DIR}/tools/media_gallery.cpp)
  target_link_libraries(quorbit_media_gallery PRIVATE quorbit_app)
endif()
