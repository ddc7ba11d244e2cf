# The application icon: its one drawing, and the function that renders it into PNGs for the
# Windows resources and the Qt programs.
set(ULVREN_ICON_SVG ${PROJECT_SOURCE_DIR}/data/icons/ulvren-tool.svg
    CACHE FILEPATH "The application icon's SVG source")

# ulvren_render_icon(<out_var> <directory> <name_prefix> <size>...)
# Adds one build command per size that renders ULVREN_ICON_SVG with rsvg-convert (Debian package
# librsvg2-bin) into <directory>/<name_prefix><size>.png, and sets <out_var> to those PNGs in the
# order of the sizes.
function(ulvren_render_icon out_var directory name_prefix)
    find_program(ULVREN_RSVG_CONVERT rsvg-convert REQUIRED)
    set(pngs "")
    foreach(size IN LISTS ARGN)
        set(png ${directory}/${name_prefix}${size}.png)
        add_custom_command(
            OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${directory}
            COMMAND ${ULVREN_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${ULVREN_ICON_SVG}
            DEPENDS ${ULVREN_ICON_SVG}
            COMMENT "Rendering the ${size} px icon"
            VERBATIM
        )
        list(APPEND pngs ${png})
    endforeach()
    set(${out_var} ${pngs} PARENT_SCOPE)
endfunction()
