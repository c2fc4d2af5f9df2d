#pragma once

#include <QLibrary>
#include <QString>
#include <QStringList>

namespace jhk {

// Loads one of the program's own libraries the first time it is needed, so that start-up
// does not pay for what a session may never use (sound output, printing). The library is
// looked for beside the program file, then in ../lib/jihankobo/ relative to it, then in any
// folders given; the first one found is the one loaded. A library is never unloaded.
class PluginLoader {
public:
    // `name` without prefix or suffix, e.g. "jihankobo-sound" for jihankobo-sound.so.
    explicit PluginLoader(QString name, QStringList extraFolders = {});
    PluginLoader(const PluginLoader &) = delete;
    PluginLoader &operator=(const PluginLoader &) = delete;

    // Loads the library on the first call; later calls answer from that attempt.
    bool load();
    // The address of an exported function, loading the library first; nullptr when the
    // library or the function is missing (errorString() then says why).
    QFunctionPointer resolve(const char *symbol);
    // Why loading or resolving failed, for a log or a technical detail under a message.
    QString errorString() const { return m_error; }
    // The file that was loaded, empty before or when none was found.
    QString fileName() const;
    const QString &name() const { return m_name; }

    // Where the program's own libraries are looked for, in order.
    QStringList searchFolders() const;

private:
    QString findFile() const;

    QString m_name;
    QStringList m_extraFolders;
    QLibrary m_library;
    bool m_tried = false;
    bool m_loaded = false;
    QString m_error;
};

} // namespace jhk
