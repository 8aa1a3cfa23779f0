# filled by the language work
