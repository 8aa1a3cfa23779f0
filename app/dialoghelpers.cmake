target_sources(tl_app PRIVATE
    LocalText.cpp
    DialogHelpers.cpp
    Hyperlink.cpp)
target_link_libraries(tl_app PUBLIC shell32 gdi32 user32)
