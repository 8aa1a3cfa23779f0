# filled by the clock settings tests
