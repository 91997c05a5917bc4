#pragma once

// What the tests of merging FOM modules share: modules written in a few words, modules in
// files of their own, and a base FOM with two extensions that place subclasses under it.

#include "platform/hla/Error.h"
#include "platform/hla/FomModules.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace fommodules {

inline std::string module(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<objectModel xmlns=\"http://standards.ieee.org/IEEE1516-2010\">\n" +
           body + "\n</objectModel>\n";
}

inline std::string objects(const std::string& classes) {
    return "<objects><objectClass><name>HLAobjectRoot</name>" + classes +
           "</objectClass></objects>";
}

inline std::string interactions(const std::string& classes) {
    return "<interactions><interactionClass><name>HLAinteractionRoot</name>" + classes +
           "</interactionClass></interactions>";
}

inline std::string attribute(const std::string& name, const std::string& type,
                             const std::string& order = "Receive",
                             const std::string& transport = "HLAreliable") {
    return "<attribute><name>" + name + "</name><dataType>" + type + "</dataType><transportation>" +
           transport + "</transportation><order>" + order + "</order></attribute>";
}

inline std::string parameter(const std::string& name, const std::string& type) {
    return "<parameter><name>" + name + "</name><dataType>" + type + "</dataType></parameter>";
}

// Modules written to files of their own, removed at the end of the test.
class Files {
public:
    Files() = default;
    Files(const Files&) = delete;
    Files& operator=(const Files&) = delete;
    ~Files() {
        for (const std::string& path : m_paths) std::remove(path.c_str());
    }
    std::string write(const std::string& name, const std::string& text) {
        const std::string path = ::testing::TempDir() + "/fom_" + name;
        std::ofstream(path, std::ios::binary) << text;
        m_paths.push_back(path);
        return path;
    }

private:
    std::vector<std::string> m_paths;
};

inline hla::FederationDescription parsed(const std::string& text, const std::string& name) {
    return hla::parseModule(text, name);
}

// The message of the conflict merging modules after the MIM meets; a failure when they merge.
inline std::string conflict(const std::vector<hla::FederationDescription>& modules) {
    hla::FederationDescription description = hla::standardMim();
    try {
        hla::mergeModules(description, modules);
    } catch (const hla::Error& e) {
        EXPECT_EQ(e.kind(), hla::ErrorKind::InconsistentFdd);
        return e.what();
    }
    ADD_FAILURE() << "merged";
    return {};
}

// The base of a three-module FOM: vehicles with data types of their own.
inline const std::string kBase =
    module(objects("<objectClass><name>Vehicle</name>" + attribute("position", "Position") +
                   attribute("speed", "Speed", "TimeStamp") + "</objectClass>") +
           interactions("<interactionClass><name>Collision</name><transportation>HLAreliable"
                        "</transportation><order>TimeStamp</order>" +
                        parameter("where", "Position") + "</interactionClass>") +
           R"(<dataTypes>
  <simpleDataTypes><simpleData><name>Speed</name><representation>HLAfloat64BE</representation></simpleData></simpleDataTypes>
  <arrayDataTypes><arrayData><name>Position</name><dataType>HLAfloat64BE</dataType><cardinality>3</cardinality><encoding>HLAfixedArray</encoding></arrayData></arrayDataTypes>
</dataTypes>)");

// Two extensions, each placing a subclass under Vehicle, named by name only.
inline const std::string kCars = module(
    objects("<objectClass><name>Vehicle</name><objectClass><name>Car</name>" +
            attribute("plate", "HLAunicodeString") + attribute("fuel", "Litres") +
            "</objectClass></objectClass>") +
    R"(<dataTypes><simpleDataTypes><simpleData><name>Litres</name><representation>HLAfloat32BE</representation></simpleData></simpleDataTypes></dataTypes>)");

inline const std::string kBoats = module(
    objects("<objectClass><name>Vehicle</name><objectClass><name>Boat</name>" +
            attribute("draught", "Speed") + "</objectClass></objectClass>") +
    interactions("<interactionClass><name>Collision</name><interactionClass><name>Capsize"
                 "</name><transportation>HLAreliable</transportation><order>TimeStamp</order>" +
                 parameter("crew", "HLAinteger32BE") + "</interactionClass></interactionClass>"));

}  // namespace fommodules
