#include "viewerRig.h"

#include "controller/parametres.h"
#include "controller/system.h"
#include "gui/mainFrame.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

ViewerRig::ViewerRig()
{
    oldHandler =
        MessageBox::setHandler([this](MessageBox::Kind, const QString &title, const QString &text) {
            texts.append(title + QStringLiteral(": ") + text);
        });
    oldDirectory = QDir::currentPath();
    if (dir.isValid())
        QDir::setCurrent(dir.path());
}

ViewerRig::~ViewerRig()
{
    close();
    MessageBox::setHandler(oldHandler);
    QDir::setCurrent(oldDirectory);
}

bool ViewerRig::generate(const TraceGeneratorOptions &options)
{
    if (!dir.isValid()) {
        failure = QStringLiteral("no temporary directory");
        return false;
    }
    opts = options;
    opts.rootDirectory = dir.filePath(QStringLiteral("data"));
    TraceGenerator generator(opts);
    if (!generator.generate()) {
        failure = generator.errorString();
        return false;
    }
    opts = generator.options();
    stats = generator.summary();
    return writeParametres();
}

bool ViewerRig::useDataSet(const TraceGeneratorOptions &options)
{
    opts = options;
    return writeParametres();
}

bool ViewerRig::writeParametres()
{
    Parametres p;
    p.configFile = opts.configFilePath();
    p.traceDirectory = QFileInfo(opts.traceFilePath(0)).absolutePath();
    p.zoomDirectory = QFileInfo(opts.zoomFilePath(10, 0)).absolutePath();
    p.asmDirectory = QFileInfo(opts.asmFilePath(0)).absolutePath();
    p.tracePrefixe = opts.tracePrefixe;
    p.zoomPrefixe = opts.zoomPrefixe;
    p.asmPrefixe = opts.asmPrefixe;
    p.nbCycleParTrace = opts.nbCycleParTrace;
    p.nbPcParAsm = opts.nbPcParAsm;
    p.nbCycleTotal = opts.nbCycleTotal;
    return p.save(QStringLiteral("Parametres.txt"), &failure);
}

void ViewerRig::open(QSize windowSize)
{
    mainFrame = new MainFrame();
    mainFrame->resize(windowSize);
    mainFrame->show();
    controller = std::make_unique<System>(mainFrame);
    QCoreApplication::processEvents();
}

void ViewerRig::close()
{
    if (mainFrame) {
        mainFrame->close();
        delete mainFrame;
        mainFrame = nullptr;
    }
    controller.reset();
}

bool ViewerRig::start()
{
    emit mainFrame->demarrer();
    return waitIdle();
}

bool ViewerRig::zoomTo(int level)
{
    for (int guard = 0; guard < 16 && controller->getNiveauZoom() != level; ++guard) {
        if (controller->getNiveauZoom() > level)
            emit mainFrame->nextZoom();
        else
            emit mainFrame->prevZoom();
        if (!waitIdle())
            return false;
    }
    return controller->getNiveauZoom() == level;
}

bool ViewerRig::waitIdle(int timeoutMs)
{
    // The end of a read arrives as a queued call, which wakes the loop; the timer only bounds
    // the wait when nothing is pending.
    QTimer tick;
    tick.start(20);
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (!controller->chargementEnCours() && controller->getEtapeChargement() == 3) {
            QCoreApplication::processEvents(); // what the last end step posted
            return true;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    failure = QStringLiteral("reads still pending after %1 ms").arg(timeoutMs);
    return false;
}
