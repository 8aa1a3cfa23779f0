# filled by the clock settings work
