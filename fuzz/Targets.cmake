# The fuzz targets: each one's name, files and libraries. Two builds take this list: the
# libFuzzer build of `make fuzz` (fuzz/CMakeLists.txt) and, in the ordinary build, plain
# programs that replay each seed corpus once under ctest (fuzz/Replay.cmake). Each defines
# kelvane_fuzz_target(NAME SOURCES ... LIBRARIES ... [INCLUDES ...]) before including this
# file; KELVANE_SOURCE is the project's root.
kelvane_fuzz_target(ini_file SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzIniFile.cpp LIBRARIES kelvane_model)
kelvane_fuzz_target(name_lists SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzNameLists.cpp LIBRARIES kelvane_model)
kelvane_fuzz_target(hex_text SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzHexText.cpp LIBRARIES kelvane_model)
# The loaders live with the Binary page; only their file, not the windows, is needed.
kelvane_fuzz_target(files SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzFiles.cpp ${KELVANE_SOURCE}/src/ui/MidiFiles.cpp
  LIBRARIES kelvane_model Qt6::Gui INCLUDES ${KELVANE_SOURCE}/src/ui)
kelvane_fuzz_target(input_reception SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzInputReception.cpp LIBRARIES kelvane_midi)
