// Vector3 arithmetic.
#include "math/Vector3.h"

#include <cmath>

static_assert(sizeof(Vector3) == 3 * sizeof(float), "Vector3 must stay three packed floats");

Vector3& Vector3::operator+=(const Vector3& other)
{
    x += other.x;
    y += other.y;
    z += other.z;
    return *this;
}

Vector3& Vector3::operator*=(float scale)
{
    x *= scale;
    y *= scale;
    z *= scale;
    return *this;
}

float Vector3::Magnitude() const
{
    // Squares in double: a product of two floats is exact there, so a vector
    // along one axis has exactly the length of its component.
    double dx = x;
    double dy = y;
    double dz = z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

static float SnapToZero(float value)
{
    return std::fabs(value) < VECTOR_SNAP_THRESHOLD ? 0.0f : value;
}

void Vector3::Normalize()
{
    float length = Magnitude();
    float divisor = length <= VECTOR_SNAP_THRESHOLD ? 1.0f : length;
    x = SnapToZero(x / divisor);
    y = SnapToZero(y / divisor);
    z = SnapToZero(z / divisor);
}

Vector3 operator+(const Vector3& a, const Vector3& b)
{
    return Vector3(a.x + b.x, a.y + b.y, a.z + b.z);
}

Vector3 operator-(const Vector3& a, const Vector3& b)
{
    return Vector3(a.x - b.x, a.y - b.y, a.z - b.z);
}

Vector3 operator*(const Vector3& v, float scale)
{
    return Vector3(scale * v.x, scale * v.y, scale * v.z);
}

Vector3 Cross(const Vector3& a, const Vector3& b)
{
    return Vector3(a.y * b.z - a.z * b.y,
                   a.z * b.x - a.x * b.z,
                   a.x * b.y - a.y * b.x);
}
