// Vector helpers, mirror matrix and two-decimal text (see defmath.h).
#include "math/defmath.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <sstream>

namespace vnt {

namespace {

template <class T> void add3(T* dest, const T* v1, const T* v2)
{
    assert(dest && v1 && v2);
    for (int i = 0; i < 3; ++i)
        dest[i] = v1[i] + v2[i];
}

template <class T> void sub3(T* dest, const T* v1, const T* v2)
{
    assert(dest && v1 && v2);
    for (int i = 0; i < 3; ++i)
        dest[i] = v1[i] - v2[i];
}

template <class T> T dot3(const T* v1, const T* v2)
{
    assert(v1 && v2);
    return v1[0] * v2[0] + v1[1] * v2[1] + v1[2] * v2[2];
}

template <class T> void cross3(T* dest, const T* v1, const T* v2)
{
    assert(dest && v1 && v2);
    T x = v1[1] * v2[2] - v1[2] * v2[1];
    T y = v1[2] * v2[0] - v1[0] * v2[2];
    T z = v1[0] * v2[1] - v1[1] * v2[0];
    dest[0] = x;
    dest[1] = y;
    dest[2] = z;
}

template <class T> T normalize3(T* v)
{
    assert(v);
    T len = std::sqrt(dot3(v, v));
    if (len > T(0)) {
        for (int i = 0; i < 3; ++i)
            v[i] /= len;
    }
    return len;
}

} // namespace

void vec_add(float* dest, const float* v1, const float* v2)
{
    add3(dest, v1, v2);
}
void vec_add(double* dest, const double* v1, const double* v2)
{
    add3(dest, v1, v2);
}
void vec_sub(float* dest, const float* v1, const float* v2)
{
    sub3(dest, v1, v2);
}
void vec_sub(double* dest, const double* v1, const double* v2)
{
    sub3(dest, v1, v2);
}
float vec_dot(const float* v1, const float* v2)
{
    return dot3(v1, v2);
}
double vec_dot(const double* v1, const double* v2)
{
    return dot3(v1, v2);
}
float vec_length(const float* v)
{
    return std::sqrt(dot3(v, v));
}
double vec_length(const double* v)
{
    return std::sqrt(dot3(v, v));
}
void vec_cross(float* dest, const float* v1, const float* v2)
{
    cross3(dest, v1, v2);
}
void vec_cross(double* dest, const double* v1, const double* v2)
{
    cross3(dest, v1, v2);
}
float vec_normalize(float* v)
{
    return normalize3(v);
}
double vec_normalize(double* v)
{
    return normalize3(v);
}

void mirror_matrix(float* out16, const float* p, const float* n)
{
    assert(out16 && p && n);
    const float d = 2.0f * vec_dot(p, n);
    for (int col = 0; col < 3; ++col) {
        for (int row = 0; row < 3; ++row)
            out16[col * 4 + row] = (row == col ? 1.0f : 0.0f) - 2.0f * n[row] * n[col];
        out16[col * 4 + 3] = 0.0f;
    }
    out16[12] = d * n[0];
    out16[13] = d * n[1];
    out16[14] = d * n[2];
    out16[15] = 1.0f;
}

std::string two_decimals_text(const std::string& printed)
{
    const std::string::size_type dot = printed.find('.');
    if (dot == std::string::npos)
        return printed;
    // An exponent ("1.5e-08") stays: only the digits between "." and it are cut or padded.
    std::string::size_type exponent = printed.find_first_of("eE", dot);
    if (exponent == std::string::npos)
        exponent = printed.size();
    std::string fraction =
        printed.substr(dot + 1, std::min<std::string::size_type>(2, exponent - dot - 1));
    while (fraction.size() < 2)
        fraction += '0';
    return printed.substr(0, dot + 1) + fraction + printed.substr(exponent);
}

std::string two_decimals(float value)
{
    std::ostringstream os;
    os << value;
    return two_decimals_text(os.str());
}

} // namespace vnt
