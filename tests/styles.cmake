target_sources(unit_tests PRIVATE
    GraphicsTest.cpp)
