#include "screens/application.h"

#include <QApplication>
#include <QCommandLineParser>

namespace {

// --help and --version answer on the terminal before anything needs a display: the
// parser reads the arguments under a core application of its own. Qt's own options
// (-platform, -style) are left to QApplication.
void answerTerminalOptions(int argc, char *argv[])
{
    QCoreApplication probe(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Trajectrix"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRAJECTRIX_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Projectile calculator: super-elevation angles, muzzle velocity "
                                                    "and flights with and without air.\nFrom a script: "
                                                    "trajectrix-solve --help"));
    // Qt's own help option would also offer --help-all, which only its process() answers.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information."));
    parser.addOption(help);
    parser.addOption(version);
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1)
        answerTerminalOptions(argc, argv);
    QApplication app(argc, argv);
    startApplication();
    return QApplication::exec();
}
