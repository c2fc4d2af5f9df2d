#include "print/Printer.h"

#include "print/MachinePrintout.h"
#include "ui/PluginLoader.h"

#include <memory>

namespace jhk {

namespace {

QString &extraFolder()
{
    static QString folder;
    return folder;
}

} // namespace

void setPrintPluginFolder(const QString &folder)
{
    extraFolder() = folder;
}

std::unique_ptr<Printer> createPrinter(PrinterOutput output, QString *error)
{
    using Factory = Printer *(*)(int);
    // Loaded once and kept: the printers it makes live in it.
    static std::unique_ptr<PluginLoader> plugin;
    if (!plugin)
        plugin = std::make_unique<PluginLoader>(QString::fromLatin1(PrintPluginName), QStringList{extraFolder()});
    const auto create = reinterpret_cast<Factory>(plugin->resolve(PrintPluginFactory));
    if (!create) {
        if (error)
            *error = QString::fromUtf8(PrintFailedMessage)
                + QStringLiteral("\n印刷の部品「%1」が見つからないか、読み込めません。ジハンコウボウを入れ直してください。\n（%2）")
                      .arg(QString::fromLatin1(PrintPluginName), plugin->errorString());
        return nullptr;
    }
    return std::unique_ptr<Printer>(create(static_cast<int>(output)));
}

} // namespace jhk
