// Command-line arguments of one verb: file operands, flags and options with a value, "--help".
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace vantor_tool {

// Exit statuses of the tool itself; the engine's fatal exits keep the engine's status.
enum
{
    STATUS_OK = 0,
    STATUS_FAILED = 1, // the file could not be read or was refused
    STATUS_USAGE = 2,  // wrong arguments
};

class cArguments
{
public:
    // `args`: what follows the verb. `flags` take no value, `options` take the next argument.
    // "--" ends the options, so file names may begin with "-".
    cArguments(const std::vector<std::string>& args, const std::set<std::string>& flags,
               const std::set<std::string>& options);

    // False, with the reason in error(), on an unknown option or an option without its value.
    bool ok() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }
    bool help() const { return m_help; }

    bool has(const std::string& flag) const { return m_flags.count(flag) != 0; }
    // The value given to `option`, or `fallback`.
    std::string value(const std::string& option, const std::string& fallback) const;
    const std::vector<std::string>& files() const { return m_files; }

private:
    std::set<std::string> m_flags;
    std::map<std::string, std::string> m_values;
    std::vector<std::string> m_files;
    std::string m_error;
    bool m_help = false;
};

} // namespace vantor_tool
