#pragma once

// The contract between the provider and a run-time link built as a plug-in: a shared module
// that the choice of a run-time loads into the engine's process, after the RTI's own libraries
// (LinkLoader.h). The plug-in opens a session, a single-threaded and polled RunTimeLink that
// speaks to its RTI, on the thread that calls it; the loader gives the session a thread of its
// own with ThreadedLink. What crosses is C++ built from these headers, so a plug-in refuses a
// call of another version or layout instead of misreading it.

#include "platform/hla/FederationDescription.h"
#include "platform/links/LinkBounds.h"
#include "platform/links/RunTimeLink.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace links {

// What opening asks for.
struct LinkRequest {
    std::string address;     // where the RTI is, as rti://host:port
    std::string federation;  // the federation execution's name
    std::string federate;    // the federate's type; several federates may share one
    // What the provider read: the link takes and gives its handles.
    hla::FederationDescription description;
    // The files the description was read from, each a FED file or an IEEE 1516-2010 XML
    // module. A link hands its RTI the format that RTI reads, converting the rest.
    std::vector<std::string> modules;
    hla::LogicalTime initialTime = 0;
    // How long the link's steps may take; a session bounds its own waits below them.
    LinkBounds bounds;
};

// Raised whenever what crosses between the two sides changes: the request and what it
// carries, RunTimeLink or RunTimeCallbacks.
inline constexpr std::uint32_t kLinkPluginVersion = 1;
// The sizes of what crosses, so that a plug-in built from other headers is refused even when
// the version was not raised.
inline constexpr std::uint32_t kLinkPluginLayout = static_cast<std::uint32_t>(
    (sizeof(LinkRequest) << 20) ^ (sizeof(hla::FederationDescription) << 10) ^
    (sizeof(hla::DataType) << 4) ^ sizeof(hla::InteractionClassSpec));

// The one symbol a plug-in exports, with C linkage:
//   links::RunTimeLink* tandrel_link_open(std::uint32_t version, std::uint32_t layout,
//       const links::LinkRequest* request, const links::StepReport* step,
//       std::string* failure);
// It opens a session on the calling thread, reporting each step, and gives it to the caller
// to own; or it gives null with *failure saying why. It never throws.
inline constexpr const char* kLinkPluginEntry = "tandrel_link_open";
using LinkPluginEntry = RunTimeLink* (*)(std::uint32_t version, std::uint32_t layout,
                                         const LinkRequest* request, const StepReport* step,
                                         std::string* failure);

// The body of a plug-in's entry point: checks the call, runs open() and turns what it throws
// into *failure.
template <typename Open>
RunTimeLink* answerOpen(const char* plugin, std::uint32_t version, std::uint32_t layout,
                        std::string* failure, Open open) noexcept {
    try {
        if (version != kLinkPluginVersion || layout != kLinkPluginLayout) {
            *failure = std::string("the plug-in ") + plugin +
                       " was built from other headers than this program (link interface " +
                       std::to_string(kLinkPluginVersion) + "/" +
                       std::to_string(kLinkPluginLayout) + ", called as " +
                       std::to_string(version) + "/" + std::to_string(layout) +
                       "): install the plug-ins built with this program";
            return nullptr;
        }
        std::unique_ptr<RunTimeLink> link = open();
        return link.release();
    } catch (const std::exception& e) {
        *failure = e.what();
    } catch (...) {
        *failure = std::string("the plug-in ") + plugin + " failed without a description";
    }
    return nullptr;
}

}  // namespace links
