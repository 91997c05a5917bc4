#pragma once

#include "cao/Cao.h"

#include <array>

class QLineEdit;

namespace monitor {

// Once a second: each enabled monitor box shows the value of the variable its Tag names,
// or "n/a" when it cannot be read.
class TimeMonitor {
public:
    TimeMonitor(std::array<QLineEdit*, 4> txtTime, const cao::VariablesPtr& variables);

    void tick();

private:
    std::array<QLineEdit*, 4> m_txtTime;
    const cao::VariablesPtr& m_caoVars;
};

}  // namespace monitor
