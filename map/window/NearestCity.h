// The cities near a point of the globe: which lie within the probe radius,
// which one is nearest, and the candidates for the labels. No Win32, no
// OpenGL.
#pragma once

#include <stdint.h>

#include <vector>

struct CityRecord;

// Squared scene units (the globe has radius 3): about 2.7 degrees of arc.
const double kProbeRadius2 = 0.02;
// At most this many cities are labelled candidates per search.
const int kMaxLabelCandidates = 200;

// Compares every city's mapPosition with `probe` (globe frame): sets
// inProbeRadius for those within the radius and isNearest for the nearest
// of all, clears both elsewhere, and writes probeDistance2 only when
// `keepDistances` (the hover and click searches). `candidates` gets up to
// `maxCandidates` of the cities within the radius, nearest first. Returns
// the nearest city's index, -1 for none; `*inRadius` tells whether any city
// lies within the radius.
int FindNearestCity(CityRecord* cities, int count, const double probe[4], double radius2, int maxCandidates,
                    bool keepDistances, std::vector<int>* candidates, bool* inRadius);
