target_sources(tl_graphics_base PRIVATE
    TextFields.cpp)
target_sources(tl_graphics PRIVATE
    Fonts.cpp
    LinkText.cpp
    Paths.cpp
    PopupPosition.cpp
    Registry.cpp
    Theme.cpp)
target_link_libraries(tl_graphics PUBLIC gdi32 user32 advapi32)
