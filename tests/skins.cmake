target_sources(unit_tests PRIVATE
    SkinTest.cpp)
