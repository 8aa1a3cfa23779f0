# filled by the main settings tests
