// Tweakable variables: named, typed, non-owning handles on values that live elsewhere (scene
// members, pass parameters). Interpolators animate them, the composition finds them by name,
// the overlay edits them and shaders read them after a checked cast.
#pragma once

#include <sstream>
#include <string>

#include "math/defmath.h"
#include "math/vec3.h"

class iVar
{
public:
    virtual ~iVar() = default;
    virtual std::string get_name() const = 0;
    virtual std::string to_string() const = 0;
};

template <class T> class cVar : public iVar
{
public:
    explicit cVar(T* storage) : m_ptr(storage) {}
    cVar(const std::string& name, T* storage) : m_name(name), m_ptr(storage) {}

    std::string get_name() const override { return m_name; }
    std::string to_string() const override;

    T* set(const T& value)
    {
        *m_ptr = value;
        return m_ptr;
    }
    T* get() const { return m_ptr; }

private:
    std::string m_name;
    T* m_ptr;
};

template <class T> std::string cVar<T>::to_string() const
{
    std::ostringstream os;
    os << *m_ptr;
    return os.str();
}

template <> inline std::string cVar<float*>::to_string() const
{
    std::ostringstream os;
    os << static_cast<const void*>(*m_ptr);
    return os.str();
}

template <> inline std::string cVar<Vec3<float>>::to_string() const
{
    return "(" + vnt::two_decimals(m_ptr->x) + "," + vnt::two_decimals(m_ptr->y) + "," +
           vnt::two_decimals(m_ptr->z) + ")";
}

template <> inline std::string cVar<std::string>::to_string() const { return *m_ptr; }

// Lookup by name in a list of (variable, widget) pairs: the first whole, case-sensitive match
// in list order, or null.
template <class List> iVar* find_var_in(const List& list, const std::string& name)
{
    for (const auto& entry : list) {
        if (entry.first && entry.first->get_name() == name)
            return entry.first;
    }
    return nullptr;
}
