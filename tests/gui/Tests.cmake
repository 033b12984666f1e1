# Test binaries of tests/gui; see kelvane_add_test in tests/CMakeLists.txt.
kelvane_add_test(gui_startup gui/StartupTest.cpp)
