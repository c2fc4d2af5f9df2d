#include "check/Reports.h"

namespace jhk {

std::string terminalLine(const MachineResult &result, const std::vector<std::string> &columns)
{
    std::string line;
    for (const CheckOutcome &o : result.outcomes)
        line += o.passed ? PassMark : FailMark;
    line += "  " + result.machine.name;
    const std::string failure = firstFailure(result, columns);
    if (!failure.empty())
        line += "  " + failure;
    return line;
}

} // namespace jhk
