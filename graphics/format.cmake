target_sources(tl_graphics_base PRIVATE
    DurationFormat.cpp
    TimeFormatPicture.cpp)
target_sources(tl_graphics PRIVATE
    TimeFormat.cpp)
