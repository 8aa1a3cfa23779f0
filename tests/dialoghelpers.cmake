target_sources(unit_tests PRIVATE DialogHelpersTest.cpp)
