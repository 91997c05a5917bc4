#include "platform/links/RtiLibraries.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace links {

namespace {

namespace fs = std::filesystem;

std::string fileNameOf(const std::string& name) {
    return "lib" + name + ".so";
}

std::string pointAt() {
    return std::string("set ") + kLibraryHintVariable +
           " to the directory of the RTI's libraries, or to one of them";
}

std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + fileNameOf(name);
    return text;
}

// The library of that name in directory: the development name when it is there, else the
// shortest versioned one (libX.so.1 before libX.so.1.0.0); the development name otherwise, for
// the loader to say that it is missing.
std::string inDirectory(const fs::path& directory, const std::string& name) {
    const std::string file = fileNameOf(name);
    std::error_code error;
    if (fs::exists(directory / file, error)) return (directory / file).string();
    std::vector<std::string> versioned;
    for (const auto& entry : fs::directory_iterator(directory, error)) {
        const std::string candidate = entry.path().filename().string();
        if (candidate.rfind(file + ".", 0) == 0) versioned.push_back(entry.path().string());
    }
    if (versioned.empty()) return (directory / file).string();
    return *std::min_element(versioned.begin(), versioned.end(),
                             [](const std::string& a, const std::string& b) {
                                 return a.size() != b.size() ? a.size() < b.size() : a < b;
                             });
}

std::string loadedPath(void* handle, const std::string& fallback) {
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && *map->l_name) {
        return map->l_name;
    }
    return fallback;
}

}  // namespace

void LoadedRtiLibraries::release() {
    for (auto it = handles.rbegin(); it != handles.rend(); ++it) dlclose(*it);
    handles.clear();
}

LoadedRtiLibraries loadRtiLibraries(const RtiLibrarySet& set, const std::string& hint) {
    fs::path directory;
    fs::path named;  // the library the hint names itself
    std::error_code error;
    if (!hint.empty()) {
        if (fs::is_directory(hint, error)) {
            directory = hint;
        } else if (fs::is_regular_file(hint, error)) {
            named = hint;
            directory = named.parent_path();
        } else {
            throw std::runtime_error("the " + set.runTime +
                                     " cannot be used: " + kLibraryHintVariable + "=\"" + hint +
                                     "\" is neither a directory nor a file; " + pointAt());
        }
    } else if (!set.builtDirectory.empty() && fs::is_directory(set.builtDirectory, error)) {
        directory = set.builtDirectory;
    }
    if (!named.empty()) {
        const std::string file = named.filename().string();
        const bool known = std::any_of(set.names.begin(), set.names.end(), [&](const auto& n) {
            return file.rfind(fileNameOf(n), 0) == 0;
        });
        if (!known) {
            throw std::runtime_error(
                "the " + set.runTime + " cannot be used: " + kLibraryHintVariable + " names " +
                named.string() + ", which is none of the RTI's libraries it needs (" +
                listed(set.names) + "); " + pointAt());
        }
    }

    LoadedRtiLibraries loaded;
    for (const std::string& name : set.names) {
        std::string path;
        if (!named.empty() && named.filename().string().rfind(fileNameOf(name), 0) == 0) {
            path = named.string();
        } else if (!directory.empty()) {
            path = inDirectory(directory, name);
        } else {
            path = fileNameOf(name);  // the system's search path
        }
        // Lazily, since an RTI's libraries may call into one another in either direction;
        // global, since the plug-in that follows finds its RTI's symbols only so.
        void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_GLOBAL);
        if (handle == nullptr) {
            const char* reason = dlerror();
            const std::string text = reason ? reason : "no reason given";
            loaded.release();
            throw std::runtime_error("the " + set.runTime + " cannot be used: the RTI's library " +
                                     path + " could not be loaded (" + text + "); " + pointAt());
        }
        loaded.handles.push_back(handle);
        if (loaded.firstPath.empty()) loaded.firstPath = loadedPath(handle, path);
    }
    return loaded;
}

}  // namespace links
