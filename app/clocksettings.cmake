target_sources(tl_app PRIVATE
    ClockSettings.cpp
    ClockProfiles.cpp
    AlarmSections.cpp)
