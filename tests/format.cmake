target_sources(unit_tests PRIVATE TimeFormatTest.cpp)
if(NOT TEMPOLAN_I686)
    tl_add_bench(format_bench bench/FormatBench.cpp)
endif()
