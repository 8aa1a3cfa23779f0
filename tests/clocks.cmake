target_sources(unit_tests PRIVATE
    ClockTest.cpp)
if(NOT TEMPOLAN_I686)
    # renders of clockshot, started as a process from the program folder
    target_sources(unit_tests PRIVATE ClockPaintTest.cpp)
    add_dependencies(unit_tests clockshot)
endif()
if(NOT TEMPOLAN_I686)
    # painting a panel of mixed clocks against one BitBlt of it, per look
    tl_add_bench(clock_paint_bench bench/ClockPaintBench.cpp)
    target_compile_definitions(clock_paint_bench PRIVATE TL_PROGRAM_FOLDER=L"Z:${TL_PROGRAM_DIR}/")
    add_dependencies(clock_paint_bench res_en)
endif()
