// Resolves the bare file names the content code uses ("octahedra.bzobj", "checker.jpg") into
// openable paths through an ordered list of search directories.
#pragma once

#include <string>
#include <vector>

#include "singleton.h"

class cResourcePath : public vnt::tSingleton<cResourcePath>
{
public:
    // Appends `path`, normalised and ending in a separator; the order is the search order.
    void push_searchpath(const std::string& path);
    // An openable path: `file` itself made absolute when it opens as it stands, else the first
    // search directory holding its base name (as formed, not made absolute); "" when none does.
    std::string get_fullpath(const std::string& file) const;

    const std::vector<std::string>& searchpaths() const { return m_searchpaths; }

private:
    friend class vnt::tSingleton<cResourcePath>;
    cResourcePath() = default;

    std::vector<std::string> m_searchpaths; // each ends in "/" or "\"
};
