// Matrix4: a 4 x 4 float matrix stored column-major, as OpenGL takes it:
// element i holds column i / 4, row i % 4, and elements 12..14 are the
// translation. The scene keeps orientations as quaternions; this type
// completes the math library and is not used by the game's drawing.
#ifndef MATH_MATRIX4_H
#define MATH_MATRIX4_H

class Matrix4 {
public:
    float m[16];

    Matrix4();  // the identity
    Matrix4(float e0, float e1, float e2, float e3,
            float e4, float e5, float e6, float e7,
            float e8, float e9, float e10, float e11,
            float e12, float e13, float e14, float e15);

    void SetIdentity();

    // Euler angles in degrees, each negated, from the rotation part; when the
    // second angle is at +-90 degrees the third is taken as zero.
    void ToEuler(float& outX, float& outY, float& outZ) const;
};

// Ordinary matrix product: (a * b) applied to a column vector applies b first.
Matrix4 operator*(const Matrix4& a, const Matrix4& b);
Matrix4 operator*(const Matrix4& matrix, float scale);
Matrix4 operator+(const Matrix4& a, const Matrix4& b);
Matrix4 operator-(const Matrix4& a, const Matrix4& b);

#endif
