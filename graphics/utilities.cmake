# filled by the utilities work
