// Quaternion arithmetic. The checks below are programmer errors, never bad
// input: the scene only multiplies unit quaternions and rotates unit axes.
#include "math/quat.h"

#include <cmath>
#include <iostream>

// The checks stay on in every build type.
#undef NDEBUG
#include <cassert>

Quat::Quat(float xIn, float yIn, float zIn, float wIn)
    : x(xIn), y(yIn), z(zIn), w(wIn)
{
    assert(!FLOAT_EQ(0.0f, Norm()));
    Normalize();
}

Quat::Quat(float angleXDegrees, float angleYDegrees, float angleZDegrees)
    : Quat()
{
    SetEuler(angleXDegrees, angleYDegrees, angleZDegrees);
}

Quat::Quat(const Vector3& v, float angle)
    : Quat()
{
    SetAxisAngle(v, angle);
}

float Quat::Norm() const
{
    return x * x + y * y + z * z + w * w;
}

static float Clamp(float value)
{
    if (value < -1.0f) {
        return -1.0f;
    }
    if (value > 1.0f) {
        return 1.0f;
    }
    return value;
}

void Quat::Normalize()
{
    double length = std::sqrt(static_cast<double>(Norm()));
    x = static_cast<float>(x / length);
    y = static_cast<float>(y / length);
    z = static_cast<float>(z / length);
    w = static_cast<float>(w / length);
    // Rounding can leave a component a hair outside [-1, 1], where acos in
    // GetAxisAngle would be undefined.
    w = Clamp(w);
    x = Clamp(x);
    y = Clamp(y);
    z = Clamp(z);
}

void Quat::SetEuler(float ax, float ay, float az)
{
    double ha = ax * PI / 180.0f / 2.0f;
    double hb = ay * PI / 180.0f / 2.0f;
    double hc = az * PI / 180.0f / 2.0f;
    double ca = std::cos(ha), sa = std::sin(ha);
    double cb = std::cos(hb), sb = std::sin(hb);
    double cc = std::cos(hc), sc = std::sin(hc);
    w = static_cast<float>(ca * cb * cc + sa * sb * sc);
    x = static_cast<float>(sa * cb * cc - ca * sb * sc);
    y = static_cast<float>(ca * sb * cc + sa * cb * sc);
    z = static_cast<float>(ca * cb * sc - sa * sb * cc);
    Normalize();
}

void Quat::SetAxisAngle(const Vector3& v, float angle)
{
    if (v.Magnitude() == 0.0f) {
        *this = Quat();
        return;
    }
    assert(v.Magnitude() == 1.0f);
    double half = angle / 2.0;
    double s = std::sin(half);
    w = static_cast<float>(std::cos(half));
    x = static_cast<float>(v.x * s);
    y = static_cast<float>(v.y * s);
    z = static_cast<float>(v.z * s);
    Normalize();
}

void Quat::GetAxisAngle(Vector3& v, float& angle) const
{
    double temp_angle = std::acos(static_cast<double>(w));
    double s = std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y +
                         static_cast<double>(z) * z);
    assert(0 <= temp_angle);
    assert(PI >= temp_angle);
    if (FLOAT_EQ(0, s)) {
        angle = 0.0f;
        v = Vector3(0.0f, 0.0f, 1.0f);
        return;
    }
    angle = static_cast<float>(2.0 * temp_angle);
    v = Vector3(static_cast<float>(x / s), static_cast<float>(y / s), static_cast<float>(z / s));
    v.Normalize();
    assert(0.0f <= angle);
    assert(2*PI >= angle);
    assert(FLOAT_EQ(1.0f, v.Magnitude()));
}

void Quat::Slerp(Quat p, Quat q, float slerp)
{
    assert(0 <= slerp);
    assert(1.0f >= slerp);
    double cosom = static_cast<double>(p.x) * q.x + static_cast<double>(p.y) * q.y +
                   static_cast<double>(p.z) * q.z + static_cast<double>(p.w) * q.w;
    double k0 = 0.0;
    double k1 = 0.0;
    Quat r = q;
    if (!(1.0 + cosom > FLOAT_EQ_TOLERANCE)) {
        // Nearly opposite: interpolate towards a quaternion perpendicular to q.
        r.x = -q.y;
        r.y = q.x;
        r.z = -q.w;
        r.w = q.z;
        k0 = std::sin((0.5 - slerp) * PI);
        k1 = std::sin(slerp * PI);
    } else if (1.0 - cosom < FLOAT_EQ_TOLERANCE) {
        // Nearly equal: sin(omega) would vanish, so interpolate linearly.
        k0 = 1.0 - slerp;
        k1 = slerp;
    } else {
        double omega = std::acos(cosom);
        k0 = std::sin((1.0 - slerp) * omega) / std::sin(omega);
        k1 = std::sin(slerp * omega) / std::sin(omega);
    }
    x = static_cast<float>(k0 * p.x + k1 * r.x);
    y = static_cast<float>(k0 * p.y + k1 * r.y);
    z = static_cast<float>(k0 * p.z + k1 * r.z);
    w = static_cast<float>(k0 * p.w + k1 * r.w);
    Normalize();
}

void Quat::Conjugate()
{
    x = -x;
    y = -y;
    z = -z;
}

void Quat::DivideByNorm()
{
    float reciprocal = 1.0f / Norm();
    x *= reciprocal;
    y *= reciprocal;
    z *= reciprocal;
    w *= reciprocal;
}

void Quat::SnapToZero()
{
    if (std::fabs(x) < FLOAT_EQ_TOLERANCE) x = 0.0f;
    if (std::fabs(y) < FLOAT_EQ_TOLERANCE) y = 0.0f;
    if (std::fabs(z) < FLOAT_EQ_TOLERANCE) z = 0.0f;
    if (std::fabs(w) < FLOAT_EQ_TOLERANCE) w = 0.0f;
}

void Quat::GetComponents(float& outX, float& outY, float& outZ, float& outW) const
{
    outX = x;
    outY = y;
    outZ = z;
    outW = w;
}

void Quat::Print() const
{
    std::cout << "Quat is " << x << " " << y << " " << z << " w is " << w << std::endl;
}

Quat operator*(const Quat& a, const Quat& b)
{
    return Quat(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
                a.w * b.y + a.y * b.w + a.z * b.x - a.x * b.z,
                a.w * b.z + a.z * b.w + a.x * b.y - a.y * b.x,
                a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
}

Vector3 operator*(const Quat& q, const Vector3& v)
{
    // t = (v, 0) * conjugate(q), normalised by the constructor; then the
    // vector part of q * t.
    Quat t(v.x * q.w + v.z * q.y - v.y * q.z,
           v.y * q.w + v.x * q.z - v.z * q.x,
           v.z * q.w + v.y * q.x - v.x * q.y,
           v.x * q.x + v.y * q.y + v.z * q.z);
    return Vector3(t.x * q.w + t.w * q.x + t.z * q.y - t.y * q.z,
                   t.y * q.w + t.w * q.y + t.x * q.z - t.z * q.x,
                   t.z * q.w + t.w * q.z + t.y * q.x - t.x * q.y);
}
