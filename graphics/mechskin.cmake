target_sources(tl_graphics PRIVATE
    MechSkin.cpp)
