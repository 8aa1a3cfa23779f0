#include "map/scene/GlobeMath.h"

#include <math.h>
#include <string.h>

void VectorSet(double v[4], double x, double y, double z, double w)
{
    v[0] = x;
    v[1] = y;
    v[2] = z;
    v[3] = w;
}

void MatrixIdentity(double m[16])
{
    memset(m, 0, 16 * sizeof(double));
    m[0] = m[5] = m[10] = m[15] = 1.0;
}

void MatrixMultiply(double m[16], const double b[16])
{
    double r[16];
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += m[k * 4 + row] * b[column * 4 + k];
            r[column * 4 + row] = sum;
        }
    memcpy(m, r, sizeof(r));
}

namespace {

// The rotation in the plane of axes a and b, from a towards b.
void RotatePlane(double m[16], int a, int b, double radians)
{
    double r[16];
    MatrixIdentity(r);
    double c = cos(radians), s = sin(radians);
    r[a * 4 + a] = c;
    r[a * 4 + b] = s;
    r[b * 4 + a] = -s;
    r[b * 4 + b] = c;
    MatrixMultiply(m, r);
}

}  // namespace

void MatrixRotateX(double m[16], double radians)
{
    RotatePlane(m, 1, 2, radians);
}

void MatrixRotateY(double m[16], double radians)
{
    RotatePlane(m, 2, 0, radians);
}

void MatrixRotateZ(double m[16], double radians)
{
    RotatePlane(m, 0, 1, radians);
}

void MatrixTranslate(double m[16], double x, double y, double z)
{
    double t[16];
    MatrixIdentity(t);
    t[12] = x;
    t[13] = y;
    t[14] = z;
    MatrixMultiply(m, t);
}

void MatrixTransform(const double m[16], const double in[4], double out[4])
{
    double r[4];
    for (int row = 0; row < 4; ++row)
        r[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
    memcpy(out, r, sizeof(r));
}

void MatrixTransformPoints(const double m[16], const double* in, double* out, int count)
{
    for (int i = 0; i < count; ++i)
        MatrixTransform(m, in + 4 * i, out + 4 * i);
}

void SphericalToCartesian(double latitude, double longitude, double radius, double out[4])
{
    double ring = radius * cos(latitude);
    VectorSet(out, ring * sin(longitude), radius * sin(latitude), ring * cos(longitude));
}

void LatLongToPoint(double latitude, double longitude, double radius, double out[4])
{
    SphericalToCartesian(DegreesToRadians(latitude), DegreesToRadians(longitude), radius, out);
}

void PointToLatLong(const double point[4], double* latitude, double* longitude)
{
    double ring = sqrt(point[0] * point[0] + point[2] * point[2]);
    *latitude = RadiansToDegrees(atan2(point[1], ring));
    *longitude = RadiansToDegrees(atan2(point[0], point[2]));
}

namespace {

struct Perspective {
    double xScale, yScale;  // eye x and y per unit of -z at the window's edge
    double a, b;            // normalised z = (a z + b) / -z
};

Perspective PerspectiveOf(const ViewFrustum& frustum)
{
    double aspect = frustum.height > 0 ? (double)frustum.width / frustum.height : 1.0;
    double f = 1.0 / tan(DegreesToRadians(frustum.fovY) / 2);
    double depth = frustum.zNear - frustum.zFar;
    return Perspective{f / aspect, f, (frustum.zFar + frustum.zNear) / depth,
                       2 * frustum.zFar * frustum.zNear / depth};
}

}  // namespace

bool ProjectEyePoint(const ViewFrustum& frustum, const double eye[4], double window[3])
{
    double w = eye[3] != 0 ? eye[3] : 1.0;
    double x = eye[0] / w, y = eye[1] / w, z = eye[2] / w;
    if (z >= 0)
        return false;
    Perspective p = PerspectiveOf(frustum);
    window[0] = (p.xScale * x / -z + 1) / 2 * frustum.width;
    window[1] = (p.yScale * y / -z + 1) / 2 * frustum.height;
    window[2] = ((p.a * z + p.b) / -z + 1) / 2;
    return true;
}

void UnprojectWindowPoint(const ViewFrustum& frustum, double x, double y, double ndcZ, double eye[4])
{
    Perspective p = PerspectiveOf(frustum);
    double z = -p.b / (p.a + ndcZ);
    double ndcX = frustum.width > 0 ? 2 * x / frustum.width - 1 : 0;
    double ndcY = frustum.height > 0 ? 2 * y / frustum.height - 1 : 0;
    VectorSet(eye, ndcX * -z / p.xScale, ndcY * -z / p.yScale, z);
}
