# The fonts are not in the repository: scripts/setup.d/fonts.sh fetches them into a cache, and the
# build copies them to <bin>/data/Text, the first place asset paths are looked up in.
if(DEFINED ENV{VRA_FONT_CACHE})
    set(vra_default_font_cache "$ENV{VRA_FONT_CACHE}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(vra_default_font_cache "$ENV{XDG_CACHE_HOME}/vra-fonts")
else()
    set(vra_default_font_cache "$ENV{HOME}/.cache/vra-fonts")
endif()
set(VRA_FONT_CACHE "${vra_default_font_cache}" CACHE PATH "Folder holding Text/<font>.ttf as fetched by scripts/setup.d/fonts.sh")
set(VRA_FONT_DIR ${VRA_BIN_DIR}/data/Text)

set(vra_font_outputs)
foreach(font Cinzel-Bold.ttf CinzelDecorative-Bold.ttf arial.ttf)
    set(source ${VRA_FONT_CACHE}/Text/${font})
    if(NOT EXISTS ${source})
        message(WARNING "Font ${source} is missing: run scripts/setup (or scripts/setup.d/fonts.sh)")
        continue()
    endif()
    add_custom_command(OUTPUT ${VRA_FONT_DIR}/${font}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${VRA_FONT_DIR}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${VRA_FONT_DIR}/${font}
        DEPENDS ${source}
        COMMENT "Copying font ${font}")
    list(APPEND vra_font_outputs ${VRA_FONT_DIR}/${font})
endforeach()
add_custom_target(Fonts ALL DEPENDS ${vra_font_outputs})
