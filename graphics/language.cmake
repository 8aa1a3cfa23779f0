target_sources(tl_graphics_base PRIVATE
    LanguageNames.cpp)
target_sources(tl_graphics PRIVATE
    Language.cpp)
target_link_libraries(tl_graphics PUBLIC user32 kernel32)
