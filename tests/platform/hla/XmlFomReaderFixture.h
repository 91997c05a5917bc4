#pragma once

// What the tests of the XML FOM module reader share: the opening of a 2010 module, and the
// error a module that should be refused is refused with.

#include "platform/hla/FedError.h"
#include "platform/hla/XmlFomReader.h"

#include <gtest/gtest.h>

#include <string>

namespace xmlfomtest {

inline const std::string kOpen =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<objectModel xmlns=\"http://standards.ieee.org/IEEE1516-2010\">\n";

// The module read as "broken.xml" must be refused.
inline hla::FedError readError(const std::string& text) {
    try {
        hla::parseFomModule(text, "broken.xml");
    } catch (const hla::FedError& e) {
        return e;
    }
    ADD_FAILURE() << "accepted: " << text;
    return hla::FedError(0, 0, "");
}

}  // namespace xmlfomtest
