# The engine configuration beside the executable: <bin>/settings/Game.json. Its asset folders are
# relative to the executable's folder, so they are worked out for this build tree.
file(RELATIVE_PATH VRA_ENGINE_ASSETS_FROM_BIN ${VRA_BIN_DIR} ${CMAKE_SOURCE_DIR}/Content/Engine)
file(RELATIVE_PATH VRA_GAME_ASSETS_FROM_BIN ${VRA_BIN_DIR} ${CMAKE_SOURCE_DIR}/Content/Game)
configure_file(${CMAKE_SOURCE_DIR}/Content/settings/Game.json ${VRA_BIN_DIR}/settings/Game.json @ONLY)
