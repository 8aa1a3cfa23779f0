target_sources(tl_graphics PRIVATE
    Skin.cpp
    SkinLoad.cpp)
