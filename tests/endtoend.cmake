if(NOT TEMPOLAN_I686)
    # tempolan.exe with its hook inside the stand-in taskbar, both real processes
    target_sources(unit_tests PRIVATE EndToEndTest.cpp)
    add_dependencies(unit_tests standin-taskbar tempolan hook res_en)
endif()
