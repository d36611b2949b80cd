// Matrix4 arithmetic and the Euler-angle conversion.
#include "math/Matrix4.h"

#include <cmath>

Matrix4::Matrix4()
{
    SetIdentity();
}

Matrix4::Matrix4(float e0, float e1, float e2, float e3,
                 float e4, float e5, float e6, float e7,
                 float e8, float e9, float e10, float e11,
                 float e12, float e13, float e14, float e15)
    : m{e0, e1, e2, e3, e4, e5, e6, e7, e8, e9, e10, e11, e12, e13, e14, e15}
{
}

void Matrix4::SetIdentity()
{
    for (int i = 0; i < 16; ++i) {
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    }
}

void Matrix4::ToEuler(float& outX, float& outY, float& outZ) const
{
    static const double RADIANS_TO_DEGREES = 57.29578;
    // Compared against the exact half turn: a constant a little off (such as
    // 1.5707963279489) would never match atan2's +pi/2 and flip the sign of
    // a +90 degree angle.
    static const double HALF_PI = M_PI / 2.0;
    double e[16];
    for (int i = 0; i < 16; ++i) {
        e[i] = m[i];
    }
    double b = std::atan2(e[8], std::sqrt(e[9] * e[9] + e[10] * e[10]));
    double c = std::cos(b);
    double a = 0.0;
    double z = 0.0;
    if (std::fabs(c) > 1e-12) {
        a = std::atan2(-e[9] / c, e[10] / c);
        z = std::atan2(-e[4] / c, e[0] / c);
    } else if (std::fabs(HALF_PI - b) < 1e-12) {
        a = std::atan2(e[1], e[5]);
        b = HALF_PI;
    } else {
        a = std::atan2(-e[1], e[5]);
        b = -HALF_PI;
    }
    outX = static_cast<float>(-a * RADIANS_TO_DEGREES);
    outY = static_cast<float>(-b * RADIANS_TO_DEGREES);
    outZ = static_cast<float>(-z * RADIANS_TO_DEGREES);
}

Matrix4 operator*(const Matrix4& a, const Matrix4& b)
{
    Matrix4 result;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[4 * k + row] * b.m[4 * column + k];
            }
            result.m[4 * column + row] = sum;
        }
    }
    return result;
}

Matrix4 operator*(const Matrix4& matrix, float scale)
{
    Matrix4 result;
    for (int i = 0; i < 16; ++i) {
        result.m[i] = matrix.m[i] * scale;
    }
    return result;
}

Matrix4 operator+(const Matrix4& a, const Matrix4& b)
{
    Matrix4 result;
    for (int i = 0; i < 16; ++i) {
        result.m[i] = a.m[i] + b.m[i];
    }
    return result;
}

Matrix4 operator-(const Matrix4& a, const Matrix4& b)
{
    Matrix4 result;
    for (int i = 0; i < 16; ++i) {
        result.m[i] = a.m[i] - b.m[i];
    }
    return result;
}
