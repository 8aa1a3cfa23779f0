# filled by the main settings work
