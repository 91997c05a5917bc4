#pragma once

// The libraries of an RTI, loaded into this process so that the symbols of each are seen by
// whatever is loaded after them: a link plug-in does not name its RTI's libraries, so that
// another RTI built like the one it was built against can stand in without rebuilding it.

#include <string>
#include <vector>

namespace links {

// The environment variable whose value the provider passes as a library hint.
inline constexpr const char* kLibraryHintVariable = "CAO_HLA_RTI_LIBRARY";

struct RtiLibrarySet {
    std::string runTime;             // "IEEE 1516-2010 run-time", for the descriptions
    std::vector<std::string> names;  // as the linker names them: "rti1516e", "fedtime1516e"
    std::string builtDirectory;      // where pkg-config found them when this was built
};

// The libraries as loaded: where the first came from, and the loader's handles.
struct LoadedRtiLibraries {
    std::string firstPath;
    std::vector<void*> handles;

    // Lets them go again, as when what needed them could not be loaded.
    void release();
};

// Loads the set in its order, each library's symbols global, from the hint's directory (the
// hint is the directory of the RTI's libraries or one of them, which then stands for the
// library of its name), else from the directory found when this was built, else from the
// system's search path. Throws std::runtime_error naming the library that could not be
// loaded, the loader's reason and kLibraryHintVariable; the libraries loaded before it are
// let go again.
LoadedRtiLibraries loadRtiLibraries(const RtiLibrarySet& set, const std::string& hint);

}  // namespace links
