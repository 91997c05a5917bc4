// The entry point of tandrel-link-hla1516e.so (LinkPlugin.h).

#include "platform/links/LinkPlugin.h"
#include "platform/links/hla1516e/Hla1516eSession.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) links::RunTimeLink* tandrel_link_open(
    std::uint32_t version, std::uint32_t layout, const links::LinkRequest* request,
    const links::StepReport* step, std::string* failure) {
    return links::answerOpen("tandrel-link-hla1516e.so", version, layout, failure,
                             [&] { return links::openHla1516eSession(*request, *step); });
}

static_assert(std::is_same_v<decltype(&tandrel_link_open), links::LinkPluginEntry>);
