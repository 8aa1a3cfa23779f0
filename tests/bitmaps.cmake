target_sources(unit_tests PRIVATE
    BitmapTest.cpp
    PixelBufferTest.cpp
    PixelEffectsTest.cpp
    RotateTest.cpp)
