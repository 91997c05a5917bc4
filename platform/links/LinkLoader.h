#pragma once

// Run-time links built as plug-ins (LinkPlugin.h), loaded into this process when a controller
// chooses one: first the RTI's libraries (RtiLibraries.h), then the plug-in, whose session
// then runs on an RTI thread of its own (ThreadedLink). A plug-in stays loaded once it has
// been, as do its RTI's libraries. Kinds: "hla13" (tandrel-link-hla13.so, the HLA 1.3
// interface) and "hla1516e" (tandrel-link-hla1516e.so, the IEEE 1516-2010 interface).

#include "platform/links/LinkPlugin.h"
#include "platform/links/RunTimeLink.h"

#include <memory>
#include <string>
#include <vector>

namespace links {

inline constexpr const char* kHla13Kind = "hla13";
inline constexpr const char* kHla1516eKind = "hla1516e";

// The run-time of a kind as a person names it ("IEEE 1516-2010 run-time"); the kind itself
// for one this program does not know.
std::string runTimeNameOf(const std::string& kind);

// Where plug-ins are looked for, in order: <libdir>/tandrel/links beside the running program,
// the build tree when the program runs from it, the directory configured for installing.
std::vector<std::string> linkPluginDirectories();

// The file of the plug-in of kind in the first directory that has it; empty when none has.
std::string findLinkPlugin(const std::string& kind,
                           const std::vector<std::string>& directories = linkPluginDirectories());

// Opens a link through the plug-in of kind; libraryHint is passed on to loadRtiLibraries.
// Throws std::runtime_error describing what could not be loaded and how to point at it, or
// why the RTI refused.
std::unique_ptr<RunTimeLink> joinPlugin(
    const std::string& kind, const std::string& libraryHint, const LinkRequest& request,
    const std::vector<std::string>& directories = linkPluginDirectories());

}  // namespace links
