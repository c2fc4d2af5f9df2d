#include "engine/TraceObserver.h"

#include <ostream>

namespace jhk {

void TraceObserver::blockAboutToRun(int part, int block)
{
    m_out << "block\t" << part << '\t' << block << '\n';
}

void TraceObserver::variableChanged(int part, char which, int value)
{
    m_out << "var\t" << part << '\t' << which << '\t' << value << '\n';
}

} // namespace jhk
