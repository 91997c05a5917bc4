#include "platform/links/LinkLoader.h"

#include "platform/links/RtiLibraries.h"
#include "platform/links/ThreadedLink.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <map>
#include <mutex>
#include <stdexcept>

namespace links {

namespace {

namespace fs = std::filesystem;

// What each kind needs, as the build found it (empty lists for an RTI it did not find).
struct Kind {
    const char* kind;
    const char* runTime;
    const char* pkgConfigName;
    const char* libraries;  // separated by kListSeparator, as the linker names them
    const char* libraryDirectory;
};

constexpr char kListSeparator = ':';

constexpr std::array<Kind, 2> kKinds{{
    {kHla13Kind, "HLA 1.3 run-time", "hla-rti13", TANDREL_HLA13_RTI_LIBRARIES,
     TANDREL_HLA13_RTI_LIBDIR},
    {kHla1516eKind, "IEEE 1516-2010 run-time", "hla-rti1516e", TANDREL_HLA1516E_RTI_LIBRARIES,
     TANDREL_HLA1516E_RTI_LIBDIR},
}};

const Kind* kindOf(const std::string& kind) {
    for (const Kind& k : kKinds) {
        if (kind == k.kind) return &k;
    }
    return nullptr;
}

std::vector<std::string> split(const std::string& list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t end = std::min(list.find(kListSeparator, start), list.size());
        if (end > start) items.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

std::string pluginFileName(const std::string& kind) {
    return "tandrel-link-" + kind + ".so";
}

fs::path runningProgramDirectory() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : program.parent_path();
}

bool isWithin(const fs::path& path, const fs::path& directory) {
    return std::mismatch(directory.begin(), directory.end(), path.begin(), path.end()).first ==
           directory.end();
}

// The plug-ins loaded so far, with where their RTI's libraries came from.
struct Loaded {
    LinkPluginEntry entry = nullptr;
    std::string rtiLibrary;
};

struct Registry {
    std::mutex mutex;
    std::map<std::string, Loaded> loaded;

    static Registry& instance() {
        static Registry registry;
        return registry;
    }
};

// The directory a library hint points at: itself, or the one of the library it names.
fs::path hintedDirectory(const std::string& hint) {
    std::error_code error;
    const fs::path path =
        fs::is_directory(hint, error) ? fs::path(hint) : fs::path(hint).parent_path();
    const fs::path canonical = fs::weakly_canonical(path, error);
    return error ? path : canonical;
}

LinkPluginEntry load(const Kind& kind, const std::string& hint,
                     const std::vector<std::string>& directories) {
    const std::string runTime = kind.runTime;
    const std::string plugin = findLinkPlugin(kind.kind, directories);
    if (plugin.empty()) {
        std::string searched;
        for (const auto& d : directories) searched += (searched.empty() ? "" : ", ") + d;
        throw std::runtime_error(
            "the " + runTime + " is not part of this installation: there is no plug-in " +
            pluginFileName(kind.kind) + " in " + (searched.empty() ? "no directory" : searched) +
            "; build Tandrel with an RTI that pkg-config finds as " + kind.pkgConfigName);
    }
    Registry& registry = Registry::instance();
    const std::lock_guard lock(registry.mutex);
    if (const auto found = registry.loaded.find(kind.kind); found != registry.loaded.end()) {
        const std::string& from = found->second.rtiLibrary;
        if (!hint.empty() && hintedDirectory(hint) != hintedDirectory(from)) {
            throw std::runtime_error(
                "the " + runTime + " of this engine uses the RTI loaded from " + from +
                "; it cannot load the one " + kLibraryHintVariable + " names (" + hint +
                ") as well: end the engine and open again");
        }
        return found->second.entry;
    }
    const RtiLibrarySet set{runTime, split(kind.libraries), kind.libraryDirectory};
    LoadedRtiLibraries rti = loadRtiLibraries(set, hint);
    const std::string rtiLibrary = rti.firstPath;
    void* handle = dlopen(plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        const std::string reason = error ? error : "no reason given";
        // Another hint may name libraries that suit it better; these must not stand in the way.
        rti.release();
        throw std::runtime_error("the " + runTime + " cannot be used: the plug-in " + plugin +
                                 " could not be loaded (" + reason + ") with the RTI loaded from " +
                                 rtiLibrary + "; set " + kLibraryHintVariable +
                                 " to the directory of the libraries of an RTI built as the one "
                                 "the plug-in was built against");
    }
    auto entry = reinterpret_cast<LinkPluginEntry>(dlsym(handle, kLinkPluginEntry));
    if (entry == nullptr) {
        dlclose(handle);
        rti.release();
        throw std::runtime_error("the " + runTime + " cannot be used: " + plugin +
                                 " is not a link plug-in of Tandrel (it has no " +
                                 kLinkPluginEntry + ")");
    }
    registry.loaded[kind.kind] = Loaded{entry, rtiLibrary};
    return entry;
}

}  // namespace

std::string runTimeNameOf(const std::string& kind) {
    const Kind* k = kindOf(kind);
    return k ? k->runTime : kind;
}

std::vector<std::string> linkPluginDirectories() {
    std::vector<std::string> directories;
    const fs::path program = runningProgramDirectory();
    if (!program.empty()) {
        directories.push_back(
            (program / TANDREL_LINK_PLUGIN_DIR_FROM_BIN).lexically_normal().string());
        if (isWithin(program, fs::path(TANDREL_BUILD_TREE))) {
            directories.push_back(TANDREL_LINK_PLUGIN_BUILD_DIR);
        }
    }
    directories.push_back(TANDREL_LINK_PLUGIN_INSTALL_DIR);
    return directories;
}

std::string findLinkPlugin(const std::string& kind, const std::vector<std::string>& directories) {
    for (const std::string& directory : directories) {
        const fs::path candidate = fs::path(directory) / pluginFileName(kind);
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return candidate.string();
    }
    return {};
}

std::unique_ptr<RunTimeLink> joinPlugin(const std::string& kind, const std::string& libraryHint,
                                        const LinkRequest& request,
                                        const std::vector<std::string>& directories) {
    const Kind* k = kindOf(kind);
    if (k == nullptr) {
        throw std::runtime_error("\"" + kind + "\" is not a run-time link of this program: use " +
                                 kHla13Kind + " or " + kHla1516eKind);
    }
    const LinkPluginEntry entry = load(*k, libraryHint, directories);
    const LinkIdentity identity{k->runTime, request.address, request.federation, request.federate};
    return ThreadedLink::open(
        identity,
        [entry, request](const StepReport& step) {
            std::string failure;
            RunTimeLink* session =
                entry(kLinkPluginVersion, kLinkPluginLayout, &request, &step, &failure);
            if (session == nullptr) throw std::runtime_error(failure);
            return std::unique_ptr<RunTimeLink>(session);
        },
        request.bounds);
}

}  // namespace links
