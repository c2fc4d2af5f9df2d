#include "ui/PluginLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace jhk {

PluginLoader::PluginLoader(QString name, QStringList extraFolders)
    : m_name(std::move(name)), m_extraFolders(std::move(extraFolders))
{
}

QStringList PluginLoader::searchFolders() const
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList folders{programFolder, QDir::cleanPath(programFolder + QStringLiteral("/../lib/jihankobo"))};
    for (const QString &folder : m_extraFolders)
        if (!folder.isEmpty() && !folders.contains(QDir::cleanPath(folder)))
            folders.append(QDir::cleanPath(folder));
    return folders;
}

QString PluginLoader::findFile() const
{
    // The plain name first ("jihankobo-sound.so"), then with the system's "lib" prefix.
    const QStringList patterns{m_name + QStringLiteral(".*"), QStringLiteral("lib") + m_name + QStringLiteral(".*")};
    for (const QString &folder : searchFolders()) {
        const QDir dir(folder);
        for (const QString &pattern : patterns)
            for (const QString &entry : dir.entryList({pattern}, QDir::Files | QDir::Readable, QDir::Name))
                if (QLibrary::isLibrary(entry))
                    return dir.filePath(entry);
    }
    return {};
}

bool PluginLoader::load()
{
    if (m_tried)
        return m_loaded;
    m_tried = true;
    const QString file = findFile();
    if (file.isEmpty()) {
        m_error = QStringLiteral("%1 not found in %2").arg(m_name, searchFolders().join(QStringLiteral(", ")));
        return false;
    }
    m_library.setFileName(file);
    m_loaded = m_library.load();
    if (!m_loaded)
        m_error = m_library.errorString();
    return m_loaded;
}

QFunctionPointer PluginLoader::resolve(const char *symbol)
{
    if (!load())
        return nullptr;
    const QFunctionPointer f = m_library.resolve(symbol);
    if (!f)
        m_error = m_library.errorString();
    return f;
}

QString PluginLoader::fileName() const
{
    return m_loaded ? QFileInfo(m_library.fileName()).absoluteFilePath() : QString();
}

} // namespace jhk
