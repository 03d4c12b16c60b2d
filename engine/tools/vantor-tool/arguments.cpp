// Command-line arguments of one verb (see arguments.h).
#include "arguments.h"

namespace vantor_tool {

cArguments::cArguments(const std::vector<std::string>& args, const std::set<std::string>& flags,
                       const std::set<std::string>& options)
{
    bool operands_only = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (operands_only || a.size() < 2 || a[0] != '-') {
            m_files.push_back(a);
        } else if (a == "--") {
            operands_only = true;
        } else if (a == "--help" || a == "-h") {
            m_help = true;
        } else if (flags.count(a)) {
            m_flags.insert(a);
        } else if (options.count(a)) {
            if (i + 1 >= args.size()) {
                m_error = a + " needs a value";
                return;
            }
            m_values[a] = args[++i];
        } else {
            m_error = "unknown option \"" + a + "\"";
            return;
        }
    }
}

std::string cArguments::value(const std::string& option, const std::string& fallback) const
{
    const auto it = m_values.find(option);
    return it == m_values.end() ? fallback : it->second;
}

} // namespace vantor_tool
