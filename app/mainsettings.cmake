target_sources(tl_app_base PRIVATE MainSettingsValues.cpp)
target_sources(tl_app PRIVATE
    Autostart.cpp
    BuildInfo.cpp
    CalendarLook.cpp
    MainSettings.cpp)
target_link_libraries(tl_app PUBLIC version)
