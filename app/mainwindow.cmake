target_sources(tl_app PRIVATE
    ClockTick.cpp
    DownloadRequest.cpp
    MainSeams.cpp
    TaskbarWatcher.cpp)
target_link_libraries(tl_app PUBLIC shell32)
