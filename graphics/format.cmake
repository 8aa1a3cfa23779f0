# filled by the format work
