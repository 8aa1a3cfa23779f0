target_sources(unit_tests PRIVATE PanelLayoutTest.cpp ../taskbar/PanelLayout.cpp ClockPanelTest.cpp ../taskbar/ClockPanel.cpp)
