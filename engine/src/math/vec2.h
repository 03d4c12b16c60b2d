// Two-component vector (texture coordinates, screen positions).
#pragma once

struct Vec2
{
    float x = 0, y = 0;

    Vec2() = default;
    Vec2(float in_x, float in_y) : x(in_x), y(in_y) {}

    Vec2 operator+(const Vec2& b) const { return {x + b.x, y + b.y}; }
    Vec2 operator-(const Vec2& b) const { return {x - b.x, y - b.y}; }
    Vec2 operator*(float s) const { return {x * s, y * s}; }
    bool operator==(const Vec2& b) const { return x == b.x && y == b.y; }
};
