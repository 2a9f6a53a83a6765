#include "CliProgram.h"

#include <QCoreApplication>
#include <QLoggingCategory>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("divevod-cli"));
    // The protocol library's debug lines are for developers; stderr carries this program's messages.
    if (!qEnvironmentVariableIsSet("DIVEVOD_CLI_DEBUG"))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    CliProgram program;
    return program.Run(QCoreApplication::arguments());
}
