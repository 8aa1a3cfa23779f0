# filled by the bitmaps tests
