#include "print/Printer.h"

#include "print/MachinePrintout.h"
#include "ui/PluginLoader.h"

namespace jhk {

std::unique_ptr<Printer> createPrinter(PrinterOutput output, QString *error)
{
    using Factory = Printer *(*)(int);
    QString why;
    const auto create = reinterpret_cast<Factory>(
        resolvePluginFunction(QString::fromLatin1(PrintPluginName), PrintPluginFactory, &why));
    if (!create) {
        if (error)
            *error = QString::fromUtf8(PrintFailedMessage) + QLatin1Char('\n') + why;
        return nullptr;
    }
    return std::unique_ptr<Printer>(create(static_cast<int>(output)));
}

} // namespace jhk
