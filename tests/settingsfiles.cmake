# filled by the settingsfiles tests
