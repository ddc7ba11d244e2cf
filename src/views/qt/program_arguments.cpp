#include "views/qt/program_arguments.h"

#include <QCoreApplication>
#include <QStringList>

namespace ulvren::views::qt {

std::vector<std::string> ArgumentsLeftByToolkit() {
    std::vector<std::string> arguments;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        arguments.push_back(argument.toStdString());
    }
    return arguments;
}

}  // namespace ulvren::views::qt
