target_sources(unit_tests PRIVATE ClockTickTest.cpp DownloadRequestTest.cpp TaskbarWatcherTest.cpp)

if(NOT TEMPOLAN_I686)
    # copied into a test's program folder as settings.exe
    add_executable(standin_settings WIN32 StandInSettings.cpp)
    target_link_options(standin_settings PRIVATE -municode)
    set_target_properties(standin_settings PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TL_TEST_DIR})
    add_dependencies(unit_tests standin_settings)

    # start-up and idle cost of tempolan.exe against a minimal Win32 program
    add_executable(minimal_window WIN32 bench/MinimalWindow.cpp)
    set_target_properties(minimal_window PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TL_TEST_DIR})
    tl_add_bench(startup_bench bench/StartupBench.cpp)
    target_link_libraries(startup_bench PRIVATE tl_windows)
    target_compile_definitions(startup_bench PRIVATE TL_PROGRAM_FOLDER=L"Z:${TL_PROGRAM_DIR}/"
        TL_TEST_BINARIES=L"Z:${TL_TEST_DIR}/")
    add_dependencies(startup_bench minimal_window tempolan hook res_en)
endif()
