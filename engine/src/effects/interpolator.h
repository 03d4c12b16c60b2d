// Interpolators: timed animators of one tweakable variable over an inclusive window of scene
// time in milliseconds, and the per-frame run that lands every one exactly on its end value.
#pragma once

#include <memory>
#include <vector>

class iVar;

// Progress of `t` through [start, end]: (t - start) / (end - start), clamped to [0, 1]; a
// zero-length window gives 0 at its start and 1 after it.
float interpolation_progress(int t, int start, int end);

class cInterpolator
{
public:
    virtual ~cInterpolator();
    cInterpolator(const cInterpolator&) = delete;
    cInterpolator& operator=(const cInterpolator&) = delete;

    // Writes the value for time `t` into the variable.
    virtual void update(const int& t) = 0;
    // True while m_starttime <= t <= m_endtime.
    virtual bool is_active(const int& t) const = 0;

    iVar* m_var = nullptr;  // the animated variable; null only for cIntervalLerp
    int m_last_update = -1; // scene time of the last update while active
    int m_starttime = 0;    // first millisecond of the window
    int m_endtime = 0;      // last millisecond of the window (inclusive)

protected:
    cInterpolator(iVar* in_var, int in_start, int in_end);
    // A bare window without a variable.
    cInterpolator(int in_start, int in_end);
    // Wraps a raw member in a variable this interpolator owns.
    cInterpolator(float* in_member, int in_start, int in_end);

    bool in_window(int t) const { return m_starttime <= t && t <= m_endtime; }
    float progress(int t) const { return interpolation_progress(t, m_starttime, m_endtime); }

private:
    std::unique_ptr<iVar> m_owned_var; // set when made from a raw member
};

// (1 - u) a + u b; cLerp<int> truncates toward zero.
template <class T> class cLerp : public cInterpolator
{
public:
    cLerp(iVar* in_var, const int& in_start, const int& in_end, const T& in_from, const T& in_to);
    void update(const int& t) override;
    bool is_active(const int& t) const override { return in_window(t); }

    T m_from;
    T m_to;
};

// a + (b - a) s(u), s the smoothstep polynomial.
template <class T> class cSmoothStep : public cInterpolator
{
public:
    cSmoothStep(iVar* in_var, const int& in_start, const int& in_end, const T& in_from,
                const T& in_to);
    cSmoothStep(T* in_member, const int& in_start, const int& in_end, const T& in_from,
                const T& in_to);
    void update(const int& t) override;
    bool is_active(const int& t) const override { return in_window(t); }

    T m_from;
    T m_to;
};

// Second half of a smoothstep: starts at (a + b) / 2 at full speed, settles on b.
template <class T> class cEaseIn : public cInterpolator
{
public:
    cEaseIn(iVar* in_var, const int& in_start, const int& in_end, const T& in_from, const T& in_to);
    cEaseIn(T* in_member, const int& in_start, const int& in_end, const T& in_from, const T& in_to);
    void update(const int& t) override;
    bool is_active(const int& t) const override { return in_window(t); }

    T m_from;
    T m_to;
};

// First half of a smoothstep stretched over the window: leaves a at rest, reaches b at speed.
template <class T> class cEaseOut : public cInterpolator
{
public:
    cEaseOut(iVar* in_var, const int& in_start, const int& in_end, const T& in_from,
             const T& in_to);
    cEaseOut(T* in_member, const int& in_start, const int& in_end, const T& in_from,
             const T& in_to);
    void update(const int& t) override;
    bool is_active(const int& t) const override { return in_window(t); }

    T m_from;
    T m_to;
};

// While active, adds the interpolated amount to the variable on every update.
template <class T> class cLerpAdd : public cInterpolator
{
public:
    cLerpAdd(iVar* in_var, const int& in_start, const int& in_end, const T& in_from,
             const T& in_to);
    cLerpAdd(T* in_member, const int& in_start, const int& in_end, const T& in_from,
             const T& in_to);
    void update(const int& t) override;
    bool is_active(const int& t) const override { return in_window(t); }

    T m_from;
    T m_to;
};

// Writes a constant whenever it is updated.
template <class T> class cSetVar : public cInterpolator
{
public:
    cSetVar(iVar* in_var, const int& in_start, const int& in_end, const T& in_value);
    void update(const int& t) override;
    bool is_active(const int& t) const override { return in_window(t); }

    T m_value;
};

// A bare time window: its owner reads the window and computes the progress itself.
class cIntervalLerp : public cInterpolator
{
public:
    cIntervalLerp(const int& in_start, const int& in_end);
    void update(const int&) override {}
    bool is_active(const int& t) const override { return in_window(t); }
};

// One frame of a scene's interpolators at time `now`, in list order: an active one is updated
// and remembers `now`; one that was active in the previous run (its last update equals
// `last_round`) gets one more update, which lands on its clamped end (or start) value. On the
// first run, with both at -1, every inactive one is applied once. Sets `last_round` to `now`.
void run_interpolators(std::vector<cInterpolator*>& list, int now, int& last_round);
