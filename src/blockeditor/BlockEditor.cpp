#include "blockeditor/BlockEditor.h"

#include "blockeditor/BlockEditorHost.h"
#include "blockeditor/BlockEditorWindow.h"
#include "ui/FlowchartPainter.h"
#include "document/JhkDocument.h"
#include "model/AppState.h"
#include "ui/QtUserDialogs.h"

#include <QGuiApplication>
#include <QPointer>
#include <QString>

#include <cstdio>
#include <memory>

namespace jhk {

namespace {

QPointer<BlockEditorWindow> &openEditor()
{
    static QPointer<BlockEditorWindow> editor;
    return editor;
}

void showMessage(QWidget *parent, const std::string &text)
{
    showMessageBox(parent, QString::fromStdString(text), MessageButtons::Ok, MessageIcon::None);
}

} // namespace

bool openBlockEditor(QWidget *stageWindow, BlockEditorHost &host, const Catalogue &catalogue, int part)
{
    Machine &m = host.machine();
    if (!BlockEditorSession::mayOpen(m, part) || openEditor())
        return false;
    m.app.CurParts = static_cast<std::int16_t>(part);
    QPointer<QWidget> stage(stageWindow);
    auto *editor = new BlockEditorWindow(m, part, &host, catalogue,
                                         [stage](const std::string &text) {
                                             QWidget *parent = openEditor() && openEditor()->isVisible()
                                                 ? static_cast<QWidget *>(openEditor().data())
                                                 : stage.data();
                                             showMessage(parent, text);
                                         },
                                         stageWindow);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setWindowModality(Qt::ApplicationModal);
    openEditor() = editor;
    editor->show();
    return true;
}

bool blockEditorIsOpen()
{
    return !openEditor().isNull();
}

void finishBlockEditorPick()
{
    if (openEditor())
        openEditor()->finishStagePick();
}

int exportFlowchart(const QString &jhkPath, int part, const QString &outPath)
{
    // Drawing text needs a GUI application; without a display the offscreen platform does.
    std::unique_ptr<QGuiApplication> ownApp;
    if (!QGuiApplication::instance()) {
        static int argc = 1;
        static char name[] = "jihankobo";
        static char *argv[] = {name, nullptr};
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        ownApp = std::make_unique<QGuiApplication>(argc, argv);
    }
    auto machine = std::make_unique<Machine>();
    const LoadResult loaded = loadDocument(jhkPath.toStdString(), *machine);
    if (!loaded.ok) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(jhkPath), loaded.message.c_str());
        return 1;
    }
    if (!machine->partExists(part)) {
        std::fprintf(stderr, "%s: パーツ%dはありません\n", qPrintable(jhkPath), part);
        return 1;
    }
    const PartsRecord &record = machine->part(part);
    const bool level1Empty = machine->app.Level == 1 && record.BlockCount <= 0;
    const FlowchartScene scene = buildFlowchartScene(record, CanvasGeometry{}, level1Empty, machine->app.Step);
    QString error;
    if (!writeFlowchartPicture(scene, outPath, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    return 0;
}

} // namespace jhk
