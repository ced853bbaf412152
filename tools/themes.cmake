# Theme packages: picture 1 of each theme is painted by tools/themes/draw_theme.py from the
# theme's sources, then tools/pack_theme.py packs sources and picture. The default theme and the
# main window's skin go into the program folder; the built-in theme becomes a C++ array in the
# static library vennmark_builtin_theme (header foundation/BuiltInTheme.h). The engine's
# map-data document is copied beside them.
set(theme_dir "${CMAKE_CURRENT_LIST_DIR}/themes")
set(theme_out "${CMAKE_BINARY_DIR}/themes")
file(MAKE_DIRECTORY "${theme_out}")
set(theme_tools "${CMAKE_CURRENT_LIST_DIR}/pack_theme.py" "${theme_dir}/draw_theme.py")

# vennmark_theme(<name> <package path> [CPP <source path>])
function(vennmark_theme name package)
  cmake_parse_arguments(T "" "CPP" "" ${ARGN})
  set(sources --source "${theme_dir}/layout.ini" --source "${theme_dir}/${name}.ini")
  set(picture "${theme_out}/${name}.png")
  add_custom_command(OUTPUT "${picture}"
    COMMAND Python3::Interpreter "${theme_dir}/draw_theme.py" ${sources} --out "${picture}"
    DEPENDS ${theme_tools} "${theme_dir}/layout.ini" "${theme_dir}/${name}.ini" VERBATIM)
  set(outputs "${package}")
  set(extra "")
  if(T_CPP)
    list(APPEND outputs "${T_CPP}")
    set(extra --cpp "${T_CPP}")
  endif()
  add_custom_command(OUTPUT ${outputs}
    COMMAND Python3::Interpreter "${CMAKE_CURRENT_LIST_DIR}/pack_theme.py" ${sources}
            --picture "1=${picture}" --out "${package}" ${extra}
    DEPENDS ${theme_tools} "${picture}" "${theme_dir}/layout.ini" "${theme_dir}/${name}.ini"
    VERBATIM)
endfunction()

vennmark_theme(ex_directui "${VENNMARK_APP_DIR}/ex_directui.ext")
vennmark_theme(thunder "${VENNMARK_APP_DIR}/thunder.ext")
vennmark_theme(builtin "${theme_out}/builtin.ext" CPP "${theme_out}/BuiltInTheme.cpp")

add_custom_command(OUTPUT "${VENNMARK_APP_DIR}/mapdata.xml"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "${theme_dir}/mapdata.xml"
          "${VENNMARK_APP_DIR}/mapdata.xml"
  DEPENDS "${theme_dir}/mapdata.xml" VERBATIM)
add_custom_target(vennmark_themes DEPENDS "${VENNMARK_APP_DIR}/ex_directui.ext"
                  "${VENNMARK_APP_DIR}/thunder.ext" "${VENNMARK_APP_DIR}/mapdata.xml")
add_dependencies(vennmark_data vennmark_themes)

add_library(vennmark_builtin_theme STATIC "${theme_out}/BuiltInTheme.cpp")
target_include_directories(vennmark_builtin_theme PUBLIC "${PROJECT_SOURCE_DIR}/toolkit")
