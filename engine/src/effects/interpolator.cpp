// Interpolator kinds and the per-frame run of a scene's list.
#include "effects/interpolator.h"

#include <cassert>
#include <climits>
#include <cstdint>

#include "effects/var.h"

namespace {

// Smoothstep polynomial on x clamped to [0, 1] like the progress.
double smooth(double x)
{
    if (!(x > 0))
        x = 0;
    if (x > 1)
        x = 1;
    return x * x * (3 - 2 * x);
}

double clamp01(double x)
{
    if (!(x > 0))
        return 0;
    return x > 1 ? 1 : x;
}

// Truncation toward zero that cannot leave the int range.
int truncate_to_int(double value)
{
    if (value >= double(INT_MAX))
        return INT_MAX;
    if (value <= double(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

cVar<float>* float_var(iVar* var)
{
    auto* typed = dynamic_cast<cVar<float>*>(var);
    assert(typed && "wrong template-parm used");
    return typed;
}

} // namespace

float interpolation_progress(int t, int start, int end)
{
    const float num = static_cast<float>(std::int64_t(t) - start);
    const float den = static_cast<float>(std::int64_t(end) - start);
    float u = static_cast<float>(double(num) / double(den));
    if (!(u > 0))
        u = 0;
    if (u > 1)
        u = 1;
    return u;
}

cInterpolator::cInterpolator(iVar* in_var, int in_start, int in_end)
    : m_var(in_var), m_starttime(in_start), m_endtime(in_end)
{
    assert(in_var && "empty var passed");
}

cInterpolator::cInterpolator(float* in_member, int in_start, int in_end)
    : m_starttime(in_start), m_endtime(in_end)
{
    assert(in_member && "empty var passed");
    m_owned_var = std::make_unique<cVar<float>>(in_member);
    m_var = m_owned_var.get();
}

cInterpolator::cInterpolator(int in_start, int in_end) : m_starttime(in_start), m_endtime(in_end) {}

cInterpolator::~cInterpolator() = default;

// --- cLerp ------------------------------------------------------------------------------------

template <class T>
cLerp<T>::cLerp(iVar* in_var, const int& in_start, const int& in_end, const T& in_from,
                const T& in_to)
    : cInterpolator(in_var, in_start, in_end), m_from(in_from), m_to(in_to)
{
}

template <> void cLerp<float>::update(const int& t)
{
    assert(dynamic_cast<cVar<float>*>(m_var) && "wrong template-parm used");
    const double u = progress(t);
    static_cast<cVar<float>*>(m_var)->set(static_cast<float>((1 - u) * m_from + m_to * u));
}

template <> void cLerp<int>::update(const int& t)
{
    assert(dynamic_cast<cVar<int>*>(m_var) && "wrong template-parm used");
    const double u = progress(t);
    const double value = (1 - u) * static_cast<float>(m_from) + static_cast<float>(m_to) * u;
    static_cast<cVar<int>*>(m_var)->set(truncate_to_int(value));
}

template class cLerp<float>;
template class cLerp<int>;

// --- cSmoothStep ------------------------------------------------------------------------------

template <class T>
cSmoothStep<T>::cSmoothStep(iVar* in_var, const int& in_start, const int& in_end, const T& in_from,
                            const T& in_to)
    : cInterpolator(in_var, in_start, in_end), m_from(in_from), m_to(in_to)
{
}

template <class T>
cSmoothStep<T>::cSmoothStep(T* in_member, const int& in_start, const int& in_end, const T& in_from,
                            const T& in_to)
    : cInterpolator(in_member, in_start, in_end), m_from(in_from), m_to(in_to)
{
}

template <class T> void cSmoothStep<T>::update(const int& t)
{
    const double a = m_from, b = m_to;
    float_var(m_var)->set(static_cast<float>(a + (b - a) * smooth(progress(t))));
}

template class cSmoothStep<float>;

// --- cEaseIn ----------------------------------------------------------------------------------

template <class T>
cEaseIn<T>::cEaseIn(iVar* in_var, const int& in_start, const int& in_end, const T& in_from,
                    const T& in_to)
    : cInterpolator(in_var, in_start, in_end), m_from(in_from), m_to(in_to)
{
}

template <class T>
cEaseIn<T>::cEaseIn(T* in_member, const int& in_start, const int& in_end, const T& in_from,
                    const T& in_to)
    : cInterpolator(in_member, in_start, in_end), m_from(in_from), m_to(in_to)
{
}

template <class T> void cEaseIn<T>::update(const int& t)
{
    const double a = m_from, b = m_to;
    const double w = clamp01(0.5 * progress(t) + 0.5);
    float_var(m_var)->set(static_cast<float>(a + (b - a) * smooth(w)));
}

template class cEaseIn<float>;

// --- cEaseOut ---------------------------------------------------------------------------------

template <class T>
cEaseOut<T>::cEaseOut(iVar* in_var, const int& in_start, const int& in_end, const T& in_from,
                      const T& in_to)
    : cInterpolator(in_var, in_start, in_end), m_from(in_from), m_to(in_to)
{
}

template <class T>
cEaseOut<T>::cEaseOut(T* in_member, const int& in_start, const int& in_end, const T& in_from,
                      const T& in_to)
    : cInterpolator(in_member, in_start, in_end), m_from(in_from), m_to(in_to)
{
}

template <class T> void cEaseOut<T>::update(const int& t)
{
    const double x = clamp01(0.5 * progress(t));
    const double w = clamp01(2 * smooth(x));
    float_var(m_var)->set(static_cast<float>((1 - w) * m_from + w * m_to));
}

template class cEaseOut<float>;

// --- cLerpAdd ---------------------------------------------------------------------------------

template <class T>
cLerpAdd<T>::cLerpAdd(iVar* in_var, const int& in_start, const int& in_end, const T& in_from,
                      const T& in_to)
    : cInterpolator(in_var, in_start, in_end), m_from(in_from), m_to(in_to)
{
}

template <class T>
cLerpAdd<T>::cLerpAdd(T* in_member, const int& in_start, const int& in_end, const T& in_from,
                      const T& in_to)
    : cInterpolator(in_member, in_start, in_end), m_from(in_from), m_to(in_to)
{
}

template <class T> void cLerpAdd<T>::update(const int& t)
{
    if (!is_active(t))
        return;
    cVar<float>* var = float_var(m_var);
    const double u = progress(t);
    const double current = *var->get();
    var->set(static_cast<float>((1 - u) * m_from + current + m_to * u));
}

template class cLerpAdd<float>;

// --- cSetVar ----------------------------------------------------------------------------------

template <class T>
cSetVar<T>::cSetVar(iVar* in_var, const int& in_start, const int& in_end, const T& in_value)
    : cInterpolator(in_var, in_start, in_end), m_value(in_value)
{
}

template <class T> void cSetVar<T>::update(const int&)
{
    auto* var = dynamic_cast<cVar<T>*>(m_var);
    assert(dynamic_cast<cVar<T>*>(m_var));
    var->set(m_value);
}

template class cSetVar<int>;
template class cSetVar<float>;

// --- cIntervalLerp ----------------------------------------------------------------------------

cIntervalLerp::cIntervalLerp(const int& in_start, const int& in_end)
    : cInterpolator(in_start, in_end)
{
}

// --- the per-frame run ------------------------------------------------------------------------

void run_interpolators(std::vector<cInterpolator*>& list, int now, int& last_round)
{
    for (cInterpolator* ip : list) {
        if (!ip)
            continue;
        if (ip->is_active(now)) {
            ip->update(now);
            ip->m_last_update = now;
        } else if (ip->m_last_update == last_round) {
            ip->update(now); // lands on the clamped end (or start) value
        }
    }
    last_round = now;
}
