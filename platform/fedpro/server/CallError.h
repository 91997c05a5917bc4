#pragma once

// A refused call as it travels back: the standard's exception name and a description.

#include "platform/hla/Error.h"

#include <stdexcept>
#include <string>

namespace fedpro::server {

// Which interface the client programs against: an IEEE 1516-2010 adapter says so when it
// connects, and a few exceptions go by their 2010 names for it.
enum class Api { Hla4, Ieee2010 };

class CallError : public std::runtime_error {
public:
    CallError(std::string exceptionName, const std::string& details)
        : std::runtime_error(details), m_name(std::move(exceptionName)) {}

    const std::string& exceptionName() const noexcept { return m_name; }

private:
    std::string m_name;
};

// The standard's exception name for a refusal of the run-time.
std::string exceptionName(hla::ErrorKind kind, Api api);

// The names of the exceptions about FOM modules, which the 2010 interface calls FDD ones.
std::string couldNotOpenFom(Api api);
std::string errorReadingFom(Api api);
std::string inconsistentFom(Api api);

// A call the server does not serve, named by its member of the call request.
CallError notSupported(const std::string& memberName);

}  // namespace fedpro::server
