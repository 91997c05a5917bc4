#include "platform/hla/FedError.h"

namespace hla {

namespace {

std::string describe(int line, int column, const std::string& message, const std::string& path) {
    std::string text = path.empty() ? std::string() : path + ": ";
    if (line > 0) {
        text += "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
    }
    return text + message;
}

}  // namespace

FedError::FedError(int line, int column, const std::string& message, const std::string& path)
    : std::runtime_error(describe(line, column, message, path)),
      m_line(line),
      m_column(column),
      m_message(message),
      m_path(path) {}

FedError FedError::withPath(const std::string& path) const {
    return FedError(m_line, m_column, m_message, path);
}

}  // namespace hla
