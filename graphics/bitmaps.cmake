target_sources(tl_graphics PRIVATE
    Bitmap.cpp
    PixelBuffer.cpp
    PixelEffects.cpp
    PixelResize.cpp
    Rotate.cpp)
target_link_libraries(tl_graphics PUBLIC gdi32 user32)
