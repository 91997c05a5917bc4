#pragma once

#include <QString>

#include <cstdint>
#include <exception>
#include <string>

namespace cao {

// HRESULT-style codes, so a description can be matched to the class of failure.
namespace code {
inline constexpr int32_t Fail = static_cast<int32_t>(0x80004005);
inline constexpr int32_t InvalidArg = static_cast<int32_t>(0x80070057);
inline constexpr int32_t TypeMismatch = static_cast<int32_t>(0x80020005);
inline constexpr int32_t Overflow = static_cast<int32_t>(0x8002000A);
inline constexpr int32_t NotImplemented = static_cast<int32_t>(0x80004001);
}  // namespace code

// The one failure type of the controller access layer. The description is shown to a
// person as it stands, so it must say what went wrong and with which input.
class Error : public std::exception {
public:
    explicit Error(QString description, int32_t errorCode = code::Fail);

    const QString& description() const noexcept { return m_description; }
    int32_t code() const noexcept { return m_code; }
    const char* what() const noexcept override { return m_utf8.c_str(); }

    static Error typeMismatch();
    static Error overflow();

private:
    QString m_description;
    int32_t m_code;
    std::string m_utf8;
};

}  // namespace cao
