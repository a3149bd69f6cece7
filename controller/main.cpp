#include "controller/system.h"
#include "gui/mainFrame.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    // The window is owned by the application's lifetime: it deletes itself when closed,
    // after the controller has stopped every parser thread (closeSignal()).
    auto *mainFrame = new MainFrame();
    mainFrame->setWindowTitle(QStringLiteral("Zelvar v1.0"));
    mainFrame->resize(640, 480);
    mainFrame->show();

    System system(mainFrame);
    QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, &QCoreApplication::quit);

    return app.exec();
}
