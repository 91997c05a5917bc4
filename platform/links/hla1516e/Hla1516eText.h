#pragma once

// Texts, tags and exceptions of the IEEE 1516-2010 interface as the run-time interface has
// them: names in wide strings there, UTF-8 here.

#include "platform/hla/Types.h"

// The standard's headers are read whole: single ones lean on what the others include.
#include <RTI/RTI1516.h>

#include <string>

namespace links {

inline constexpr const char* kHla1516eRunTimeName = "IEEE 1516-2010 run-time";

std::wstring wide(const std::string& utf8);
std::string narrow(const std::wstring& text);

rti1516e::VariableLengthData dataOf(const hla::Bytes& bytes);
hla::Bytes bytesOf(const rti1516e::VariableLengthData& data);
std::string textOf(const rti1516e::VariableLengthData& data);

// The text of an exception of the RTI.
std::string describe(const rti1516e::Exception& e);
// From inside a handler of rti1516e::Exception: rethrows it as std::runtime_error
// "<what>: <text>".
[[noreturn]] void rethrowRti(const std::string& what);
// The same, but an internal error, the way an RTI says that it lacks a service, becomes
// NotSupported.
[[noreturn]] void rethrowUnsupported(const std::string& what);

}  // namespace links
