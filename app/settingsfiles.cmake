# filled by the settings files work
