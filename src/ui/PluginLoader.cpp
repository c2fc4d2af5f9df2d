#include "ui/PluginLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QLibrary>

namespace jhk {

namespace {

QString &overriddenFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString pluginFolder()
{
    if (!overriddenFolder().isEmpty())
        return overriddenFolder();
    return QCoreApplication::applicationDirPath();
}

void setPluginFolder(const QString &folder)
{
    overriddenFolder() = folder;
}

QFunctionPointer resolvePluginFunction(const QString &name, const char *symbol, QString *error)
{
    // Loaded libraries are kept for the life of the program: objects they made may still live.
    static QHash<QString, QLibrary *> loaded;
    const QString path = QDir(pluginFolder()).filePath(name);
    QLibrary *library = loaded.value(path);
    if (!library) {
        library = new QLibrary(path);
        library->setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (!library->load()) {
            if (error)
                *error = QStringLiteral("プログラムの部品「%1」が見つからないか、読み込めません。\n"
                                        "ジハンコウボウを入れ直してください。")
                             .arg(name);
            delete library;
            return nullptr;
        }
        loaded.insert(path, library);
    }
    QFunctionPointer function = library->resolve(symbol);
    if (!function && error)
        *error = QStringLiteral("プログラムの部品「%1」が壊れています。\nジハンコウボウを入れ直してください。").arg(name);
    return function;
}

} // namespace jhk
