# Test binaries of tests/x11: behaviour that only a real X server shows. Each runs on the xcb
# platform under its own Xvfb (xvfb-run -a), when xvfb-run and xdotool are installed.
find_program(KELVANE_XVFB_RUN xvfb-run)
find_program(KELVANE_XDOTOOL xdotool)
function(kelvane_add_x11_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE kelvane_ui kelvane_midi kelvane_model kelvane_test_support)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KELVANE_OUTPUT_DIR})
  if(KELVANE_XVFB_RUN AND KELVANE_XDOTOOL)
    add_test(NAME ${name} COMMAND ${KELVANE_XVFB_RUN} -a $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=xcb;KELVANE_MIDI_API=none;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home"
      TIMEOUT 300)
  else()
    message(STATUS "${name} is built but not run: it needs xvfb-run and xdotool")
  endif()
endfunction()

kelvane_add_x11_test(x11_keyboard x11/KeyboardX11Test.cpp)
