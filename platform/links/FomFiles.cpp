#include "platform/links/FomFiles.h"

#include "platform/hla/FedReader.h"
#include "platform/hla/FedWriter.h"
#include "platform/hla/ModuleWriter.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace links {

namespace {

constexpr const char* kDirectoryPattern = "tandrel-fom-XXXXXX";
constexpr const char* kDefaultTemporary = "/tmp";
// What may come before a file's first character: blanks, and the bytes of a byte-order mark
// and of UTF-16 text, in which an XML module's '<' follows them.
constexpr const char kLeading[] = " \t\r\n\f\v\xEF\xBB\xBF\xFE\xFF";

std::string absolute(const std::string& path) {
    std::error_code error;
    const auto result = std::filesystem::absolute(path, error);
    return error ? path : result.lexically_normal().string();
}

std::string stem(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}

}  // namespace

FomFormat fomFormatOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("the FOM file " + path +
                                 " cannot be read: " + std::strerror(errno));
    }
    char c = 0;
    while (file.get(c)) {
        if (std::strchr(kLeading, c) == nullptr) return c == '<' ? FomFormat::Xml : FomFormat::Fed;
    }
    return FomFormat::Fed;
}

FomFiles::~FomFiles() {
    for (const std::string& file : m_written) std::remove(file.c_str());
    if (!m_directory.empty()) ::rmdir(m_directory.c_str());
}

std::vector<std::string> FomFiles::xmlModules(const std::vector<std::string>& modules,
                                              const hla::FederationDescription& description) {
    std::vector<std::string> result;
    if (modules.empty()) {
        result.push_back(write("Federation.xml", hla::writeFomModule(description)));
    }
    for (const std::string& module : modules) {
        if (fomFormatOf(module) == FomFormat::Xml) {
            // Plain absolute paths: an RTI may read a relative one against its own directory.
            result.push_back(absolute(module));
        } else {
            const hla::FederationDescription fed = hla::readFedFile(module);
            result.push_back(write(stem(module) + ".xml", hla::writeFomModule(fed)));
        }
    }
    return result;
}

std::string FomFiles::fedFile(const std::vector<std::string>& modules,
                              const hla::FederationDescription& description) {
    if (modules.size() == 1 && fomFormatOf(modules.front()) == FomFormat::Fed) {
        return absolute(modules.front());
    }
    const std::string name = modules.size() == 1 ? stem(modules.front()) : "Federation";
    return write(name + ".fed", hla::writeFed(description));
}

std::string FomFiles::write(const std::string& name, const std::string& text) {
    if (m_directory.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp && *tmp ? tmp : kDefaultTemporary) + "/" + kDirectoryPattern;
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("a temporary directory for the FOM files could not be made (" +
                                     pattern + "): " + std::strerror(errno));
        }
        m_directory = pattern;
    }
    // Two modules of one name in different directories stay apart.
    std::string path = m_directory + "/" + name;
    for (int n = 2; std::filesystem::exists(path); ++n) {
        path = m_directory + "/" + std::to_string(n) + "-" + name;
    }
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file) {
        std::remove(path.c_str());
        throw std::runtime_error("the FOM file " + path + " could not be written");
    }
    m_written.push_back(path);
    return path;
}

}  // namespace links
