// Vector helpers on plain three-component arrays, the mirror matrix and the two-decimal
// number text shared by the variables and the overlay.
#pragma once

#include <string>

namespace vnt {

constexpr double PI = 3.14159265358979323846;

// dest = v1 + v2
void vec_add(float* dest, const float* v1, const float* v2);
void vec_add(double* dest, const double* v1, const double* v2);
// dest = v1 - v2
void vec_sub(float* dest, const float* v1, const float* v2);
void vec_sub(double* dest, const double* v1, const double* v2);
float vec_dot(const float* v1, const float* v2);
double vec_dot(const double* v1, const double* v2);
float vec_length(const float* v);
double vec_length(const double* v);
// dest = v1 x v2; dest may alias neither input.
void vec_cross(float* dest, const float* v1, const float* v2);
void vec_cross(double* dest, const double* v1, const double* v2);
// Scales v to unit length in place; a zero vector is left as it is. Returns the old length.
float vec_normalize(float* v);
double vec_normalize(double* v);

// Column-major 4x4 reflection about the plane through `p` with unit normal `n`:
// upper 3x3 is I - 2 n n^T, translation 2 (p.n) n.
void mirror_matrix(float* out16, const float* p, const float* n);

// A float printed with the stream's defaults, then cut or padded to exactly two characters
// after its first "." (no rounding); a text without "." is kept as printed.
std::string two_decimals(float value);
// The same rule applied to an already printed number.
std::string two_decimals_text(const std::string& printed);

} // namespace vnt
