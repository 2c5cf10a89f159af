#pragma once
// Sets an environment variable for the life of the object and restores the
// old value (or its absence) afterwards. Main thread only.

#include <optional>
#include <string>

namespace test {

class ScopedEnvironment {
public:
    // A null `value` unsets the variable.
    ScopedEnvironment(std::string name, const char* value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

} // namespace test
