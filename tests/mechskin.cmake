target_sources(unit_tests PRIVATE
    MechSkinTest.cpp
    ResampleKeyedTest.cpp
    SkinPathsTest.cpp)
