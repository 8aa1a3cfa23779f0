#include "map/window/MapCamera.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

namespace {

// Flights run at 150 steps for half a turn.
const double kStepsPerHalfTurn = 150.0;
const int kFewestSteps = 2;
const int kMinutesAround = 360 * 60;
const int kMinutesQuadrant = 90 * 60;

}  // namespace

double Wrap360(double angle)
{
    angle = fmod(angle, 360.0);
    if (angle < 0)
        angle += 360.0;
    // fmod of a tiny negative leaves 360 after the addition
    return angle >= 360.0 ? 0.0 : angle;
}

double Wrap180(double angle)
{
    angle = Wrap360(angle);
    return angle > 180.0 ? angle - 360.0 : angle;
}

CameraKey ApplyCameraKey(uint32_t key, MapCamera* camera)
{
    // seen upside down, left and right swap
    bool upright = camera->tilt < 90.0 || camera->tilt > 270.0;
    switch (key) {
    case kKeyHome:
    case kKeyClear:
        *camera = MapCamera();
        return CameraKey::Reset;
    case kKeyLeft:
        camera->rotation = Wrap360(camera->rotation + (upright ? 1.0 : -1.0));
        return CameraKey::Moved;
    case kKeyRight:
        camera->rotation = Wrap360(camera->rotation + (upright ? -1.0 : 1.0));
        return CameraKey::Moved;
    case kKeyUp:
        camera->tilt = Wrap360(camera->tilt + 1.0);
        return CameraKey::Moved;
    case kKeyDown:
        camera->tilt = Wrap360(camera->tilt - 1.0);
        return CameraKey::Moved;
    case kKeyZoomIn:
        if (camera->distance < kNearestDistance)
            camera->distance += kZoomStep;
        return CameraKey::Zoomed;
    case kKeyZoomOut:
        if (camera->distance > kFarthestDistance)
            camera->distance -= kZoomStep;
        return CameraKey::Zoomed;
    }
    return CameraKey::None;
}

void ZoomCamera(int notches, MapCamera* camera)
{
    float distance = camera->distance + notches * kZoomStep;
    if (distance < kFarthestDistance)
        distance = kFarthestDistance;
    if (distance > kNearestDistance)
        distance = kNearestDistance;
    camera->distance = distance;
}

void DragCamera(const DragStart& start, double latitude, double longitude, MapCamera* camera)
{
    double along = longitude - start.longitude;
    bool upright = start.tilt < 90.0 || start.tilt >= 270.0;
    camera->tilt = Wrap360(start.tilt - (latitude - start.latitude));
    camera->rotation = Wrap360(upright ? start.rotation + along : start.rotation - along);
}

Flight PlanFlight(const MapCamera& camera, double targetTilt, double targetRotation)
{
    Flight flight;
    flight.targetTilt = Wrap360(targetTilt);
    flight.targetRotation = Wrap360(targetRotation);
    double tilt = Wrap180(flight.targetTilt - camera.tilt);
    double rotation = Wrap180(flight.targetRotation - camera.rotation);
    int steps = (int)(sqrt(tilt * tilt + rotation * rotation) * kStepsPerHalfTurn / 180.0);
    flight.steps = steps < kFewestSteps ? kFewestSteps : steps;
    flight.stepTilt = tilt / flight.steps;
    flight.stepRotation = rotation / flight.steps;
    return flight;
}

bool FlightStep(Flight* flight, MapCamera* camera)
{
    if (++flight->step >= flight->steps) {
        camera->tilt = flight->targetTilt;
        camera->rotation = flight->targetRotation;
        return true;
    }
    camera->tilt = Wrap360(camera->tilt + flight->stepTilt);
    camera->rotation = Wrap360(camera->rotation + flight->stepRotation);
    return false;
}

void FormatLatLong(double latitude, double longitude, char* out)
{
    int lat = (int)(lround(latitude * 60.0) % kMinutesAround);
    if (lat < 0)
        lat += kMinutesAround;
    // past a pole the latitude comes back: fold by quadrants
    switch (lat / kMinutesQuadrant) {
    case 1:
    case 2:
        lat = 2 * kMinutesQuadrant - lat;
        break;
    case 3:
        lat -= kMinutesAround;
        break;
    }
    int lon = (int)(lround(longitude * 60.0) % kMinutesAround);
    if (lon < 0)
        lon += kMinutesAround;
    if (lon > kMinutesAround / 2)
        lon -= kMinutesAround;
    int latAbs = abs(lat), lonAbs = abs(lon);
    snprintf(out, kReadoutChars, "Lat %2d\xB0%2.2d'%c  Long %3d\xB0%2.2d'%c", latAbs / 60, latAbs % 60,
             lat < 0 ? 'S' : 'N', lonAbs / 60, lonAbs % 60, lon < 0 ? 'W' : 'E');
}
