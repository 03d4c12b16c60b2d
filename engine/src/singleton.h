// Process-wide services: created on first use through get_instance(), never recreated,
// deleted only by the exit handler (or by a test that wants a fresh one).
#pragma once

namespace vnt {

template <class T> class tSingleton
{
public:
    static T* get_instance()
    {
        if (!s_instance)
            s_instance = new T();
        return s_instance;
    }
    static bool has_instance() { return s_instance != nullptr; }
    static void destroy_instance()
    {
        T* doomed = s_instance;
        s_instance = nullptr;
        delete doomed;
    }

protected:
    tSingleton() = default;
    ~tSingleton() = default;

private:
    static inline T* s_instance = nullptr;
};

} // namespace vnt
