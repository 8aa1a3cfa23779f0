target_sources(unit_tests PRIVATE MainSettingsTest.cpp)
if(NOT TEMPOLAN_I686)
    # reads the VERSIONINFO of the built program
    add_dependencies(unit_tests tempolan)
endif()
