// The open and save commands' work on the machine.
#include "engine/Engine.h"

#include "document/JhkDocument.h"
#include "model/AppState.h"

namespace jhk {

bool Engine::openDocument(const std::string &path)
{
    if (m_m.app.RunMode != ModeEditing)
        return false;
    // The document is read and checked before the stage is touched: a refused file leaves the
    // machine on the stage exactly as it was.
    const LoadResult read = loadDocument(path, m_m);
    if (!read.ok) {
        message(read.message);
        return false;
    }
    // A document is always opened into editing, whatever mode its file names.
    m_m.app.RunMode = ModeEditing;
    m_run = {};
    for (PartControl &c : m_stage.parts)
        c.visible = false;
    for (LabelControl &l : m_stage.labels)
        l.visible = false;
    rebuildStage();
    return true;
}

bool Engine::saveDocument(const std::string &path)
{
    if (m_m.app.RunMode != ModeEditing)
        return false;
    checkAll();
    const SaveResult written = jhk::saveDocument(path, m_m);
    if (!written.ok)
        message(written.message);
    return written.ok;
}

} // namespace jhk
