// The entry point of tandrel-link-hla13.so (LinkPlugin.h).

#include "platform/links/LinkPlugin.h"
#include "platform/links/hla13/Hla13Link.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) links::RunTimeLink* tandrel_link_open(
    std::uint32_t version, std::uint32_t layout, const links::LinkRequest* request,
    const links::StepReport* step, std::string* failure) {
    return links::answerOpen("tandrel-link-hla13.so", version, layout, failure,
                             [&] { return links::openHla13Session(*request, *step); });
}

static_assert(std::is_same_v<decltype(&tandrel_link_open), links::LinkPluginEntry>);
