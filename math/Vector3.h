// Vector3: three packed floats, the position, direction and normal type of the
// whole game. Conventions: right-handed, y up; an object's forward is its
// local -z. The layout (x, y, z and nothing else) is handed to OpenGL as a
// pointer to three floats, so it must never grow.
#ifndef MATH_VECTOR3_H
#define MATH_VECTOR3_H

class Vector3 {
public:
    float x;
    float y;
    float z;

    Vector3() : x(0.0f), y(0.0f), z(0.0f) {}
    Vector3(float xIn, float yIn, float zIn) : x(xIn), y(yIn), z(zIn) {}

    Vector3& operator+=(const Vector3& other);
    Vector3& operator*=(float scale);

    // Length, computed in double precision and returned as a float.
    float Magnitude() const;

    // Scales to unit length in place. A vector no longer than
    // VECTOR_SNAP_THRESHOLD is not scaled; afterwards every component whose
    // magnitude is below the threshold is snapped to exactly zero, so the
    // result may be slightly shorter than 1 and a tiny vector becomes zero.
    void Normalize();
};

static const float VECTOR_SNAP_THRESHOLD = 0.0001f;

Vector3 operator+(const Vector3& a, const Vector3& b);
Vector3 operator-(const Vector3& a, const Vector3& b);
Vector3 operator*(const Vector3& v, float scale);

// Right-handed cross product a x b: Cross((1,0,0), (0,1,0)) is (0,0,1).
Vector3 Cross(const Vector3& a, const Vector3& b);

#endif
