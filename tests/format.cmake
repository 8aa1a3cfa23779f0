# filled by the format tests
