#pragma once

#include <QFunctionPointer>
#include <QString>

namespace jhk {

// Parts of the program that pull in large libraries (printing, for one) are built as small
// plugins kept beside the program and loaded the first time they are needed, so that starting
// the program stays as quick as starting an empty window.

// The folder plugins are looked for in: the folder of the running program unless set.
QString pluginFolder();
void setPluginFolder(const QString &folder);

// Finds the function `symbol` in the plugin `name` ("jihankobo-print" for the file
// jihankobo-print.so), loading the plugin on first use; it then stays loaded. Returns null and
// sets `error` to a message for the pupil when the plugin is missing or broken.
QFunctionPointer resolvePluginFunction(const QString &name, const char *symbol, QString *error);

} // namespace jhk
