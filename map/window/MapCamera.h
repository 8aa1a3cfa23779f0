// The map's camera and what the keys, a drag and a flight do to it, and the
// latitude/longitude read-out: plain values, no Win32 and no OpenGL.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The camera's home and its limits (scene units, degrees).
const float kHomeDistance = -12.2f;
const double kHomeTilt = 40.0;
const double kHomeRotation = 0.0;
const float kNearestDistance = -4.1f;
const float kFarthestDistance = -28.5f;
const float kZoomStep = 0.1f;

// Virtual-key codes of the camera keys (the VK_ values; this file has no
// windows.h).
const uint32_t kKeyClear = 0x0C;
const uint32_t kKeyHome = 0x24;
const uint32_t kKeyLeft = 0x25;
const uint32_t kKeyUp = 0x26;
const uint32_t kKeyRight = 0x27;
const uint32_t kKeyDown = 0x28;
const uint32_t kKeyZoomIn = 0x6B;   // numeric-pad plus
const uint32_t kKeyZoomOut = 0x6D;  // numeric-pad minus

struct MapCamera {
    float distance = kHomeDistance;  // negative
    double tilt = kHomeTilt;         // degrees 0..360, about x
    double rotation = kHomeRotation; // degrees 0..360, about y
};

// Into [0, 360).
double Wrap360(double angle);
// Into [-180, 180].
double Wrap180(double angle);

enum class CameraKey : int32_t {
    None,   // not a camera key: the camera is untouched
    Moved,  // tilt or rotation
    Zoomed, // the distance (also when the limit refused the step)
    Reset,  // home
};
// Applies one key; angles wrapped.
CameraKey ApplyCameraKey(uint32_t key, MapCamera* camera);
// distance + notches x kZoomStep, clamped to the limits.
void ZoomCamera(int notches, MapCamera* camera);

// Where a left-button drag started.
struct DragStart {
    double tilt, rotation;       // the camera's
    double latitude, longitude;  // of the globe point under the press, degrees
};
// The camera for the globe point now under the cursor: the pressed point
// follows the cursor; with the globe upside down (press tilt in [90, 270))
// the horizontal direction is reversed.
void DragCamera(const DragStart& start, double latitude, double longitude, MapCamera* camera);

// A flight of the camera's angles to a target, one step per timer tick.
struct Flight {
    double targetTilt = 0, targetRotation = 0;
    double stepTilt = 0, stepRotation = 0;
    int steps = 0;
    int step = 0;  // steps taken
};
// From the camera's angles; the differences take the short way round.
Flight PlanFlight(const MapCamera& camera, double targetTilt, double targetRotation);
// One step; on the last the angles are exactly the target. True when done.
bool FlightStep(Flight* flight, MapCamera* camera);

// "Lat 51°30'N  Long   0°15'W" in the ANSI code page (° is 0xB0), in whole
// minutes of arc; `out` holds at least kReadoutChars.
const size_t kReadoutChars = 40;
void FormatLatLong(double latitude, double longitude, char* out);
