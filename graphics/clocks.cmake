target_sources(tl_graphics PRIVATE
    Clock.cpp
    ClockHost.cpp
    ClockTimer.cpp
    MechClock.cpp)
# AlphaBlend of the analogue faces
target_link_libraries(tl_graphics PUBLIC msimg32)
