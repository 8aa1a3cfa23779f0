target_sources(tl_graphics PRIVATE
    Graphics.cpp
    GraphicsText.cpp)
target_link_libraries(tl_graphics PUBLIC gdi32 user32)
