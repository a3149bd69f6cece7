#include "controller/system.h"
#include "gui/mainFrame.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstring>

namespace {

const char usage[] =
    "Usage: zelvar [FOLDER]\n"
    "Viewer for the execution traces of a cycle-level processor simulator.\n"
    "\n"
    "  FOLDER         a trace folder as the simulator writes it (an event configuration,\n"
    "                 and trace, zoom and assembly folders under a folder named after the\n"
    "                 cycles per file): its parameters are found from its files and its\n"
    "                 trace is drawn at once\n"
    "  -h, --help     print this help and exit\n"
    "  -v, --version  print the version and exit\n"
    "\n"
    "Without FOLDER, the parameters are read from Parametres.txt in the working directory.\n";

} // namespace

int main(int argc, char **argv)
{
    // Answered before the application exists, which needs a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "-v") == 0 || std::strcmp(argv[i], "--version") == 0) {
            std::puts("zelvar 1.0");
            return 0;
        }
    }

    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zelvar"));
    QCoreApplication::setApplicationName(QStringLiteral("Zelvar"));
    // What remains once the toolkit has taken its own options (-platform, -display, ...).
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < arguments.size(); ++i) {
        if (i > 0 || arguments.at(i).startsWith(QLatin1Char('-'))) {
            std::fprintf(stderr, "zelvar: unexpected argument \"%s\"\n%s",
                         qPrintable(arguments.at(i)), usage);
            return 2;
        }
    }

    // The window is owned by the application's lifetime: it deletes itself when closed,
    // after the controller has stopped every parser thread (closeSignal()).
    auto *mainFrame = new MainFrame();
    mainFrame->setWindowTitle(QStringLiteral("Zelvar v1.0"));
    mainFrame->resize(640, 480);
    mainFrame->show();

    System system(mainFrame);
    QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, &QCoreApplication::quit);
    if (!arguments.isEmpty())
        system.ouvrirDossier(QDir::current().absoluteFilePath(arguments.first()));

    return app.exec();
}
