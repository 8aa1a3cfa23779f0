# filled by the language tests
