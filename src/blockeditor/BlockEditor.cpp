#include "blockeditor/BlockEditor.h"

#include <QString>
#include <cstdio>

namespace jhk {

bool openBlockEditor(QWidget *, BlockEditorHost &, int)
{
    return false;
}

bool blockEditorIsOpen()
{
    return false;
}

void finishBlockEditorPick()
{
}

int exportFlowchart(const QString &, int, const QString &)
{
    std::fputs("flowchart export is not available yet\n", stderr);
    return 1;
}

} // namespace jhk
