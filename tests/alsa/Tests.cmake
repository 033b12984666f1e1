# Tests against the real ALSA sequencer, labelled "alsa". Where /dev/snd/seq is missing they
# skip; `make test-alsa` runs them inside a virtual machine that has the sequencer.
kelvane_add_test(alsa_backend alsa/AlsaBackendTest.cpp)
kelvane_add_test(alsa_ports alsa/AlsaPortTest.cpp)
kelvane_add_test(alsa_window alsa/AlsaWindowTest.cpp)
set_tests_properties(alsa_backend alsa_ports alsa_window PROPERTIES LABELS alsa)
# The window test takes QT_QPA_PLATFORM from its caller (offscreen when unset): make test-alsa
# gives it xcb on the virtual machine's Xvfb, so that keys are real X11 events.
set_property(TEST alsa_window PROPERTY ENVIRONMENT
  "KELVANE_MIDI_API=none;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home")
