// Three-component vector, copied by value: positions, eye and centre points, colours.
#pragma once

#include <cmath>

template <class T> struct Vec3
{
    T x = 0, y = 0, z = 0;

    Vec3() = default;
    Vec3(T in_x, T in_y, T in_z) : x(in_x), y(in_y), z(in_z) {}

    T* data() { return &x; }
    const T* data() const { return &x; }
    T& operator[](int i) { return (&x)[i]; }
    const T& operator[](int i) const { return (&x)[i]; }

    Vec3 operator+(const Vec3& b) const { return {x + b.x, y + b.y, z + b.z}; }
    Vec3 operator-(const Vec3& b) const { return {x - b.x, y - b.y, z - b.z}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
    Vec3 operator*(T s) const { return {x * s, y * s, z * s}; }
    Vec3 operator/(T s) const { return {x / s, y / s, z / s}; }
    Vec3& operator+=(const Vec3& b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    Vec3& operator-=(const Vec3& b)
    {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        return *this;
    }
    Vec3& operator*=(T s)
    {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    bool operator==(const Vec3& b) const { return x == b.x && y == b.y && z == b.z; }
    bool operator!=(const Vec3& b) const { return !(*this == b); }

    T dot(const Vec3& b) const { return x * b.x + y * b.y + z * b.z; }
    Vec3 cross(const Vec3& b) const
    {
        return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
    }
    T length() const { return std::sqrt(dot(*this)); }
    // Unit vector in the same direction; the zero vector stays zero.
    Vec3 normalized() const
    {
        T len = length();
        return len > T(0) ? *this / len : *this;
    }
};

template <class T> Vec3<T> operator*(T s, const Vec3<T>& v) { return v * s; }

using Vec3f = Vec3<float>;
