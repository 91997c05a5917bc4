// The bare federates of an interface this build did not find: each case says so.

#include "bench/crossprocess/BareFederates.h"

namespace bench {

#if !TANDREL_HAVE_HLA13
namespace {
const std::string kNo13 = "this build has no HLA 1.3 interface";
}
BareRate bareThroughputHla13(const std::string&, const std::string&, int) {
    return {0, kNo13};
}
BareRoundTrips bareRoundTripsHla13(const std::string&, const std::string&, int, int) {
    return {{}, kNo13};
}
BareIdle bareIdleHla13(const std::string&, const std::string&, int) {
    return {0, kNo13};
}
#endif

#if !TANDREL_HAVE_HLA1516E
namespace {
const std::string kNo1516e = "this build has no IEEE 1516-2010 interface";
}
BareRate bareThroughputHla1516e(const std::string&, const std::string&, int) {
    return {0, kNo1516e};
}
BareRoundTrips bareRoundTripsHla1516e(const std::string&, const std::string&, int, int) {
    return {{}, kNo1516e};
}
BareIdle bareIdleHla1516e(const std::string&, const std::string&, int) {
    return {0, kNo1516e};
}
#endif

}  // namespace bench
