#include "platform/links/hla4/Hla4Link.h"

#include "platform/links/ThreadedLink.h"
#include "platform/links/hla4/Hla4Session.h"

#include <utility>

namespace links::hla4 {

std::unique_ptr<RunTimeLink> joinHla4(LinkRequest request, const Hla4Settings& settings) {
    request.address = settings.server.text();
    const LinkIdentity identity{kHla4RunTimeName, request.address, request.federation,
                                request.federate};
    const LinkBounds bounds = request.bounds;
    return ThreadedLink::open(
        identity,
        [request = std::move(request), settings](const StepReport& step) {
            return openHla4Session(request, settings, step);
        },
        bounds);
}

}  // namespace links::hla4
