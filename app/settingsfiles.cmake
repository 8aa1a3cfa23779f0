target_sources(tl_app_base PRIVATE SettingsValues.cpp)
target_sources(tl_app PRIVATE
    SettingsIni.cpp
    SettingsFiles.cpp
    SettingsExport.cpp
    SettingsSeams.cpp)
