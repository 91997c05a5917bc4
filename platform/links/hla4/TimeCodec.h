#pragma once

// Logical times and intervals on the wire, in the time type the federation was created with:
// HLAfloat64Time, or HLAinteger64Time for a federation that another federate created so.

#include <string>

namespace links::hla4 {

class TimeCodec {
public:
    // HLAfloat64Time, which this link creates federations with.
    TimeCodec();
    // Throws std::runtime_error for a time type this link cannot carry.
    static TimeCodec named(const std::string& timeImplementation);

    const std::string& name() const { return m_name; }
    // A time or an interval as the federation's type encodes it. Throws std::runtime_error
    // for one the type cannot hold (a fraction in an integer federation).
    std::string encode(double time) const;
    // Throws fedpro::ProtocolError for bytes that are no time of the type.
    double decode(const std::string& bytes) const;

private:
    std::string m_name;
    bool m_integer = false;
};

}  // namespace links::hla4
