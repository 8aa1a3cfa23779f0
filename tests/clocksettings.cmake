target_sources(unit_tests PRIVATE ClockSettingsTest.cpp ClockProfileTest.cpp)
