// Quat: the rotation quaternion that holds every scene object's orientation.
// Components x, y, z (vector part) and w (scalar part); identity (0, 0, 0, 1).
// Angles are radians except in SetEuler, which takes degrees. Every operation
// that builds a rotation leaves the quaternion normalised. Preconditions are
// checked with assert in every build; a failed check names its condition.
#ifndef MATH_QUAT_H
#define MATH_QUAT_H

#include "math/Vector3.h"

// The single-precision value nearest to pi, used for every degree/radian
// conversion of the scene code.
static const float PI = 3.1415927f;

static const float FLOAT_EQ_TOLERANCE = 0.00005f;

// True when |a - b| < 0.00005 (both comparisons strict).
#define FLOAT_EQ(a, b) (((b) - FLOAT_EQ_TOLERANCE) < (a) && ((b) + FLOAT_EQ_TOLERANCE) > (a))

class Quat {
public:
    float x;
    float y;
    float z;
    float w;

    Quat() : x(0.0f), y(0.0f), z(0.0f), w(1.0f) {}
    // Stores the components, checks they are not all zero, then normalises.
    Quat(float xIn, float yIn, float zIn, float wIn);
    // Rotation from Euler angles in degrees (see SetEuler).
    Quat(float angleXDegrees, float angleYDegrees, float angleZDegrees);
    // Rotation by angle radians about the unit axis v (see SetAxisAngle).
    Quat(const Vector3& v, float angle);

    // Squared length x^2 + y^2 + z^2 + w^2.
    float Norm() const;
    // Divides by the length, then clamps every component into [-1, 1].
    void Normalize();
    // Rotation about z by az, times about y by ay, times about x by ax: the x
    // rotation is applied to a vector first. Degrees, right-handed.
    void SetEuler(float ax, float ay, float az);
    // Identity for a zero axis; otherwise the axis must have length exactly 1.
    void SetAxisAngle(const Vector3& v, float angle);
    // Unit axis and angle in [0, 2 PI]; the identity gives angle 0 about (0, 0, 1).
    void GetAxisAngle(Vector3& outAxis, float& outAngle) const;
    // Spherical interpolation from p (slerp 0) to q (slerp 1); slerp in [0, 1].
    // The shorter arc is not sought.
    void Slerp(Quat p, Quat q, float slerp);
    void Conjugate();
    void DivideByNorm();
    // Components with magnitude below 0.00005 become exactly zero.
    void SnapToZero();
    void GetComponents(float& outX, float& outY, float& outZ, float& outW) const;
    // One line on standard output: "Quat is x y z w is w".
    void Print() const;
};

// Hamilton product, normalised: as a rotation, a * b applies b first.
Quat operator*(const Quat& a, const Quat& b);

// The direction of v rotated by q, always of unit length; v must not be zero.
Vector3 operator*(const Quat& q, const Vector3& v);

#endif
