# The engine configuration beside the executable: <bin>/settings/Game.json. Its asset folders are
# relative to the executable's folder, so they are worked out for this build tree.
#
# The game asset folder is <bin>/game, laid out by the build: the committed models, clips and
# character textures of Content/Game are copied there and the level maker writes the levels and
# their definitions beside them (sprites, fonts and the video go to <bin>/data, which asset paths
# try first), so the build leaves the source tree unchanged.
set(VRA_GAME_ASSETS_DIR ${VRA_BIN_DIR}/game)
file(RELATIVE_PATH VRA_ENGINE_ASSETS_FROM_BIN ${VRA_BIN_DIR} ${CMAKE_SOURCE_DIR}/Content/Engine)
file(RELATIVE_PATH VRA_GAME_ASSETS_FROM_BIN ${VRA_BIN_DIR} ${VRA_GAME_ASSETS_DIR})
configure_file(${CMAKE_SOURCE_DIR}/Content/settings/Game.json ${VRA_BIN_DIR}/settings/Game.json @ONLY)

file(GLOB_RECURSE vra_committed_game_assets CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/Content/Game ${CMAKE_SOURCE_DIR}/Content/Game/*)
set(vra_copied_game_assets "")
foreach(asset ${vra_committed_game_assets})
    add_custom_command(OUTPUT ${VRA_GAME_ASSETS_DIR}/${asset}
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/Content/Game/${asset} ${VRA_GAME_ASSETS_DIR}/${asset}
        DEPENDS ${CMAKE_SOURCE_DIR}/Content/Game/${asset})
    list(APPEND vra_copied_game_assets ${VRA_GAME_ASSETS_DIR}/${asset})
endforeach()
add_custom_target(GameAssets ALL DEPENDS ${vra_copied_game_assets})
