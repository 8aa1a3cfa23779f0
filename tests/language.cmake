target_sources(unit_tests PRIVATE LanguageTest.cpp)
target_compile_definitions(unit_tests PRIVATE
    TL_RES_EN_DLL=L"Z:${TL_PROGRAM_DIR}/res_en.dll"
    TL_RES_OLD_DLL=L"Z:${TL_TEST_DIR}/res_old.dll"
    TL_RES_TEST_DLL=L"Z:${TL_TEST_DIR}/res_test.dll")
if(NOT TEMPOLAN_I686)
    add_dependencies(unit_tests res_en res_old res_test)
endif()
