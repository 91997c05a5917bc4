#include "platform/links/hla4/ModuleContent.h"

#include "platform/hla/FedReader.h"
#include "platform/hla/ModuleWriter.h"
#include "platform/links/FomFiles.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace links::hla4 {

namespace {

namespace wire = rti1516_2025::fedpro;

// A module larger than this is not read: the server refuses packets far smaller.
constexpr std::uintmax_t kMaxModuleBytes = 16u * 1024u * 1024u;
constexpr const char* kDescriptionModule = "Federation.xml";

std::string contentOf(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        throw std::runtime_error("the FOM module " + path + " cannot be read: " + error.message());
    }
    if (size > kMaxModuleBytes) {
        throw std::runtime_error("the FOM module " + path + " is larger than 16 MiB");
    }
    std::ifstream file(path, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file && !file.eof()) {
        throw std::runtime_error("the FOM module " + path +
                                 " cannot be read: " + std::strerror(errno));
    }
    return content;
}

void add(wire::FomModuleSet& set, const std::string& name, std::string content) {
    wire::FileFomModule* file = set.add_fommodule()->mutable_file();
    file->set_name(name);
    file->set_content(std::move(content));
}

}  // namespace

wire::FomModuleSet moduleContents(const std::vector<std::string>& modules,
                                  const hla::FederationDescription& description) {
    wire::FomModuleSet set;
    if (modules.empty()) add(set, kDescriptionModule, hla::writeFomModule(description));
    for (const std::string& module : modules) {
        const std::filesystem::path path(module);
        if (fomFormatOf(module) == FomFormat::Xml) {
            add(set, path.filename().string(), contentOf(module));
        } else {
            // A server of the standard reads XML modules only. A FED file types nothing, and
            // its members stay untyped so that a federation's typed modules still type them.
            add(set, path.stem().string() + ".xml",
                hla::writeFomModule(hla::readFedFile(module), hla::Untyped::NotApplicable));
        }
    }
    return set;
}

}  // namespace links::hla4
