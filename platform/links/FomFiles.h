#pragma once

// The FOM files a link hands its RTI, in the one format that RTI reads: a 1.3 RTI reads FED
// files, a 2010 RTI IEEE 1516-2010 XML modules. Files of the other format are converted from
// what they say and written to a private temporary directory, which goes, with them, when
// this goes: once the federation has been created or joined, the RTI has read them.

#include "platform/hla/FederationDescription.h"

#include <string>
#include <vector>

namespace links {

enum class FomFormat { Fed, Xml };

// By the first character that is not blank: '<' opens an XML module, anything else a FED
// file. Throws std::runtime_error when the file cannot be read.
FomFormat fomFormatOf(const std::string& path);

class FomFiles {
public:
    FomFiles() = default;
    ~FomFiles();
    FomFiles(const FomFiles&) = delete;
    FomFiles& operator=(const FomFiles&) = delete;

    // For a 2010 RTI: the XML modules as they are, each FED file as an equivalent module, all
    // as absolute paths; the description written as one module when there are no files.
    std::vector<std::string> xmlModules(const std::vector<std::string>& modules,
                                        const hla::FederationDescription& description);
    // For a 1.3 RTI: a single FED file as it is (absolute); otherwise one FED file written
    // from the description, which the modules were merged into.
    std::string fedFile(const std::vector<std::string>& modules,
                        const hla::FederationDescription& description);

    // The private directory, empty until a file has been written.
    const std::string& directory() const { return m_directory; }

private:
    // Throws std::runtime_error naming the file that could not be written.
    std::string write(const std::string& name, const std::string& text);

    std::string m_directory;
    std::vector<std::string> m_written;
};

}  // namespace links
