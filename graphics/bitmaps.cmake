# filled by the bitmaps work
