target_sources(unit_tests PRIVATE SettingsFilesTest.cpp)
tl_add_bench(settings_bench bench/SettingsBench.cpp)
