# The programs' pictures, drawn by make_pictures.py: the resource, super-tile and enemy pictures
# go into the program folder, the program icon (for icon resource 129) and the preview's about
# picture into generated/. Programs that compile them into their resources depend on
# vennmark_pictures and find the files through VENNMARK_ICON_FILE and VENNMARK_ABOUT_PICTURE.
if(NOT WIN32)
  return()
endif()

set(VENNMARK_ICON_FILE "${CMAKE_BINARY_DIR}/generated/vennmark.ico" CACHE INTERNAL
    "The program icon drawn by tools/make_pictures.py")

set(VENNMARK_ABOUT_PICTURE "${CMAKE_BINARY_DIR}/generated/about.png" CACHE INTERNAL
    "The preview's about picture drawn by tools/make_pictures.py")

set(pictures_outputs
    "${VENNMARK_ABOUT_PICTURE}"
    "${VENNMARK_APP_DIR}/resources/introduction.png"
    "${VENNMARK_APP_DIR}/resources/Tevik.png"
    "${VENNMARK_APP_DIR}/resources/Opened.png"
    "${VENNMARK_ICON_FILE}")
set(pictures_hex_digits 0 1 2 3 4 5 6 7 8 9 A B C D E F)
foreach(pictures_level RANGE 1 8)
  foreach(pictures_high RANGE 0 7)
    foreach(pictures_low ${pictures_hex_digits})
      list(APPEND pictures_outputs
           "${VENNMARK_APP_DIR}/MapPic/${pictures_level}/${pictures_high}${pictures_low}.bmp")
    endforeach()
  endforeach()
endforeach()
foreach(pictures_enemy RANGE 0 7)
  list(APPEND pictures_outputs "${VENNMARK_APP_DIR}/Enemy/0${pictures_enemy}.bmp")
endforeach()

add_custom_command(
  OUTPUT ${pictures_outputs}
  COMMAND "${Python3_EXECUTABLE}" "${CMAKE_CURRENT_LIST_DIR}/make_pictures.py"
          --app-dir "${VENNMARK_APP_DIR}" --icon "${VENNMARK_ICON_FILE}"
          --about "${VENNMARK_ABOUT_PICTURE}"
  DEPENDS "${CMAKE_CURRENT_LIST_DIR}/make_pictures.py"
  COMMENT "Drawing the resource pictures, the super-tile pictures and the program icon"
  VERBATIM)
add_custom_target(vennmark_pictures DEPENDS ${pictures_outputs})
add_dependencies(vennmark_data vennmark_pictures)
