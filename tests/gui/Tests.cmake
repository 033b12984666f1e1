# Test binaries of tests/gui; see kelvane_add_test in tests/CMakeLists.txt.
kelvane_add_test(gui_startup gui/StartupTest.cpp)
kelvane_add_test(gui_main_page gui/MainPageTest.cpp)
kelvane_add_test(gui_program_list gui/ProgramListTest.cpp)
kelvane_add_test(gui_binary_page gui/BinaryPageTest.cpp)
kelvane_add_test(gui_raw_sender gui/RawSenderTest.cpp)
kelvane_add_test(gui_drum_page gui/DrumPageTest.cpp)
kelvane_add_test(gui_drum_color gui/DrumColorTest.cpp)
kelvane_add_test(gui_settings gui/SettingsTest.cpp)
kelvane_add_test(gui_monitor gui/MonitorTest.cpp)
kelvane_add_test(gui_dialogs gui/DialogsTest.cpp)
kelvane_add_test(gui_font_setting gui/FontSettingTest.cpp)
kelvane_add_test(gui_accessibility gui/AccessibilityTest.cpp)
kelvane_add_test(gui_language gui/LanguageTest.cpp)
kelvane_add_test(gui_ports gui/PortsTest.cpp)
kelvane_add_test(gui_readable gui/ReadabilityTest.cpp)
# The same checks at twice the scale, where nothing may overlap either.
add_test(NAME gui_readable_scaled COMMAND gui_readable)
set_tests_properties(gui_readable_scaled PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=2;KELVANE_MIDI_API=none;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home"
  TIMEOUT 300)
kelvane_add_test(gui_palette gui/PaletteTest.cpp)
kelvane_add_test(gui_english_texts gui/EnglishTextsTest.cpp)
kelvane_add_test(gui_drum_pad_names gui/DrumPadNamesTest.cpp)
