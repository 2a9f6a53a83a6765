#include "CommandLine.h"

#include "DiveVodVersion.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstring>

namespace {

bool IsInformationOption(const char* arg)
{
    for (const char* name : { "-h", "--help", "--help-all", "-v", "--version" }) {
        if (std::strcmp(arg, name) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

int AnswerInformationOptions(int argc, char* argv[])
{
    bool asked = false;
    for (int i = 1; i < argc; ++i) {
        asked = asked || IsInformationOption(argv[i]);
    }
    if (!asked) {
        return -1;
    }

    // A core application is enough to print; the widgets application comes only for a real start.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("DiveVod"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DIVEVOD_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Configures and watches one ACO GPIO device over UDP (port 33904).\n"
        "Without options it opens the main window; the toolkit's own options (-platform, -style, ...)\n"
        "are accepted as well.\n"
        "Translations are read from <appdir>/../lang, CSV files are written to <appdir>/../logs\n"
        "(or, when that directory is not writable, to the user's data directory; the status bar says where)."));
    parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    // Other options do not matter here: only one of the two answers is given, the version first.
    parser.parse(app.arguments());
    if (parser.isSet(version)) {
        parser.showVersion(); // prints and exits with 0
    }
    parser.showHelp(0); // prints and exits with 0
    return 0;
}
