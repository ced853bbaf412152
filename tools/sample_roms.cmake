# The synthetic cartridge images drawn up by make_sample_roms.py: every image and the manifest
# go into the test data folder; image A (as Brakka.nes and SampleSmall.nes) and image B
# (SampleLarge.nes) also go into the program folder of the Windows configuration, where the
# programs and the run command find them.
set(sample_roms_script "${CMAKE_CURRENT_LIST_DIR}/make_sample_roms.py")
set(sample_roms_stamp "${CMAKE_BINARY_DIR}/generated/sample_roms.stamp")
set(sample_roms_names
    SampleSmall.nes SampleLarge.nes SampleCells.txt OddForms.nes SharedScreens.nes Vertical2.nes
    Kind2.nes HighCells.nes ScreenOverObjectTable.nes ShortA.nes Nes3Bytes.nes CutB400.nes LieScreenPastEnd.nes
    LieRunPastEnd.nes LieScreenTablePastEnd.nes LieObjectTablePastEnd.nes LieListPastEnd.nes
    LieUnterminatedList.nes LieBossPastEnd.nes PreviewPainted.nes EditorPlaced.nes)
set(sample_roms_outputs "")
foreach(name ${sample_roms_names})
  list(APPEND sample_roms_outputs "${VENNMARK_TESTDATA_DIR}/${name}")
endforeach()
set(sample_roms_app_args "")
if(WIN32)
  list(APPEND sample_roms_app_args --app-dir "${VENNMARK_APP_DIR}")
  foreach(name Brakka.nes SampleSmall.nes SampleLarge.nes)
    list(APPEND sample_roms_outputs "${VENNMARK_APP_DIR}/${name}")
  endforeach()
endif()

add_custom_command(
  OUTPUT "${sample_roms_stamp}"
  BYPRODUCTS ${sample_roms_outputs}
  COMMAND "${Python3_EXECUTABLE}" "${sample_roms_script}"
          --testdata-dir "${VENNMARK_TESTDATA_DIR}" ${sample_roms_app_args}
          --stamp "${sample_roms_stamp}"
  DEPENDS "${sample_roms_script}"
  COMMENT "Writing the sample cartridge images"
  VERBATIM)
add_custom_target(vennmark_sample_roms DEPENDS "${sample_roms_stamp}")
add_dependencies(vennmark_data vennmark_sample_roms)
