#pragma once

#include <stdexcept>
#include <string>

namespace hla {

// A federation description that cannot be read. Syntax errors carry the 1-based line and
// column of the offending text; line 0 means the failure has no position (file too large,
// file unreadable).
class FedError : public std::runtime_error {
public:
    FedError(int line, int column, const std::string& message, const std::string& path = {});

    int line() const noexcept { return m_line; }
    int column() const noexcept { return m_column; }
    const std::string& message() const noexcept { return m_message; }
    const std::string& path() const noexcept { return m_path; }

    FedError withPath(const std::string& path) const;

private:
    int m_line;
    int m_column;
    std::string m_message;
    std::string m_path;
};

}  // namespace hla
