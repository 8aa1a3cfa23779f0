// Where the globe and its cities are: in the globe's frame and on screen.
#pragma once

struct CityRecord;
class CPlanet;
class CScene;

// Every city's mapPosition = its latitude and longitude on a sphere of
// 1.0001 x the planet's radius (just above the surface), w = 1.
void PlaceCities(const CPlanet& planet, CityRecord* cities, int count);

struct GlobeOnScreen {
    double diameter;    // pixels
    double limbDepth;   // window depth (0..1) of the globe's outline
};
// The globe's outline as the scene's camera and viewport show it: points
// further than limbDepth lie behind the globe.
GlobeOnScreen MeasureGlobeOnScreen(const CScene& scene, const CPlanet& planet);

// The point of the globe's surface under window x, y (from the bottom left),
// in the globe's frame with w = 1; false when the ray misses the globe.
bool PickGlobePoint(const CScene& scene, const CPlanet& planet, double x, double y, double hit[4]);
