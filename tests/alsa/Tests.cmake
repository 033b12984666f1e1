# Tests against the real ALSA sequencer, labelled "alsa": `make test` leaves them to
# scripts/test-alsa.sh, which runs them on an X server, directly where /dev/snd/seq exists and
# else inside a virtual machine that has the sequencer. Run by hand without one, they skip.
kelvane_add_test(alsa_backend alsa/AlsaBackendTest.cpp)
kelvane_add_test(alsa_ports alsa/AlsaPortTest.cpp)
kelvane_add_test(alsa_window alsa/AlsaWindowTest.cpp)
kelvane_add_test(alsa_reconnect alsa/AlsaReconnectTest.cpp)
# Needs a rawmidi device behind the sequencer: scripts/test-alsa.sh loads snd-virmidi in its VM.
kelvane_add_test(alsa_rawmidi alsa/AlsaRawMidiTest.cpp)
set_tests_properties(alsa_backend alsa_ports alsa_window alsa_reconnect alsa_rawmidi PROPERTIES LABELS alsa)
# The window test takes QT_QPA_PLATFORM from its caller (offscreen when unset): make test-alsa
# gives it xcb on an Xvfb, so that keys are real X11 events.
set_property(TEST alsa_window PROPERTY ENVIRONMENT
  "KELVANE_MIDI_API=none;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home")
