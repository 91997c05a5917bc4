#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace links {

// Tells which step of opening is under way, for the text of an open that does not finish.
using StepReport = std::function<void(const std::string& step)>;

// How long opening, an ordinary call and resigning may take.
struct LinkBounds {
    std::chrono::milliseconds open{15000};
    std::chrono::milliseconds call{10000};
    std::chrono::milliseconds resign{10000};
};

}  // namespace links
