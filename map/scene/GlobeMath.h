// Vector and matrix helpers of the globe: 4 x 4 matrices of doubles in
// OpenGL's column-major order (element [column * 4 + row], so they can go to
// glMultMatrixd as they are) and 4-component points with w = 1.
//
// The globe's frame: y points to the north pole, longitude 0 on the +z axis,
// east longitudes towards +x. Seen from +z (where the camera sits), north is
// up and east is to the right.
#pragma once

const double kPi = 3.14159265358979323846;

inline double DegreesToRadians(double degrees) { return degrees * (kPi / 180.0); }
inline double RadiansToDegrees(double radians) { return radians * (180.0 / kPi); }

void VectorSet(double v[4], double x, double y, double z, double w = 1.0);
void MatrixIdentity(double m[16]);
// m = m x b, the order in which OpenGL combines its matrix calls.
void MatrixMultiply(double m[16], const double b[16]);
// m = m x the rotation about the axis by `radians` (counter-clockwise seen
// from the positive axis, as glRotate); likewise the translation.
void MatrixRotateX(double m[16], double radians);
void MatrixRotateY(double m[16], double radians);
void MatrixRotateZ(double m[16], double radians);
void MatrixTranslate(double m[16], double x, double y, double z);
// out = m x in; `out` may be `in`.
void MatrixTransform(const double m[16], const double in[4], double out[4]);
// The same for `count` points of 4 doubles each.
void MatrixTransformPoints(const double m[16], const double* in, double* out, int count);

// The point at a latitude and longitude in radians on a sphere of `radius`.
void SphericalToCartesian(double latitude, double longitude, double radius, double out[4]);
// The same in degrees (north and east positive).
void LatLongToPoint(double latitude, double longitude, double radius, double out[4]);
// Degrees: latitude -90..90, longitude -180..180 (0 at the poles and at the
// centre). The point's length does not matter.
void PointToLatLong(const double point[4], double* latitude, double* longitude);

// A perspective camera as gluPerspective makes it, with the viewport that
// maps it onto the window (origin bottom left, pixels).
struct ViewFrustum {
    double fovY;        // degrees
    double zNear, zFar;
    int width, height;  // viewport
};

// Window x, y (from the bottom left) and depth (0 near .. 1 far) of a point
// in eye coordinates; false for a point at or behind the eye.
bool ProjectEyePoint(const ViewFrustum& frustum, const double eye[4], double window[3]);
// The eye point under window x, y at a normalised depth (-1 the near plane,
// 1 the far plane).
void UnprojectWindowPoint(const ViewFrustum& frustum, double x, double y, double ndcZ, double eye[4]);
