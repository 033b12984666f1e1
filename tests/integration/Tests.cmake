# Test binaries of tests/integration; see kelvane_add_test in tests/CMakeLists.txt.
kelvane_add_test(integration_jack_backend integration/JackBackendTest.cpp)
kelvane_add_test(integration_output_jack integration/OutputJackTest.cpp)
kelvane_add_test(integration_binary_jack integration/BinaryJackTest.cpp)
kelvane_add_test(integration_monitor_jack integration/MonitorJackTest.cpp)
