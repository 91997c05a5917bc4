// Placeholder bodies until the time monitor lands.
#include "monitor/TimeMonitor.h"

namespace monitor {

TimeMonitor::TimeMonitor(std::array<QLineEdit*, 4> txtTime, const cao::VariablesPtr& variables)
    : m_txtTime(txtTime), m_caoVars(variables) {}
void TimeMonitor::tick() {}

}  // namespace monitor
