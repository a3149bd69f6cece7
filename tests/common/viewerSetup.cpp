#include "viewerSetup.h"

#include "core/graphicTrace.h"
#include "gui/mainFrame.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>

#include <set>

ViewerSetup::ViewerSetup(const TraceGeneratorOptions &generatorOptions, bool writeParametres)
    : options(generatorOptions)
{
    ancienHandler = MessageBox::setHandler(
        [this](MessageBox::Kind kind, const QString &title, const QString &text) {
            recus.append({kind, title, text});
        });
    if (!dir.isValid()) {
        error = QStringLiteral("no temporary directory");
        return;
    }
    ancienDossier = QDir::currentPath();
    QDir::setCurrent(dir.path());
    options.rootDirectory = dir.filePath(QStringLiteral("data"));
    TraceGenerator generator(options);
    if (!generator.generate()) {
        error = generator.errorString();
        return;
    }
    options = generator.options();
    if (writeParametres)
        ecrireParametres(parametresDuJeu());
}

ViewerSetup::~ViewerSetup()
{
    fermer();
    MessageBox::setHandler(ancienHandler);
    if (!ancienDossier.isEmpty())
        QDir::setCurrent(ancienDossier);
}

void ViewerSetup::creer(QObject *eventFilter)
{
    mainFrame = new MainFrame();
    if (eventFilter)
        mainFrame->installEventFilter(eventFilter);
    mainFrame->resize(640, 480);
    mainFrame->show();
    system = std::make_unique<System>(mainFrame);
}

void ViewerSetup::fermer()
{
    if (mainFrame) {
        mainFrame->close();
        delete mainFrame;
        mainFrame = nullptr;
    }
    system.reset();
}

bool ViewerSetup::attendre(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (!system->chargementEnCours() && system->getEtapeChargement() == 3) {
            QCoreApplication::processEvents(); // what the last end step posted
            return true;
        }
    }
    return false;
}

Parametres ViewerSetup::parametresDuJeu() const
{
    Parametres p;
    p.configFile = options.configFilePath();
    p.traceDirectory = QFileInfo(options.traceFilePath(0)).absolutePath();
    p.zoomDirectory = QFileInfo(options.zoomFilePath(10, 0)).absolutePath();
    p.asmDirectory = QFileInfo(options.asmFilePath(0)).absolutePath();
    p.nbCycleParTrace = options.nbCycleParTrace;
    p.nbPcParAsm = options.nbPcParAsm;
    p.nbCycleTotal = options.nbCycleTotal;
    return p;
}

bool ViewerSetup::ecrireParametres(const Parametres &p)
{
    return p.save(dir.filePath(QStringLiteral("Parametres.txt")), &error);
}

int ViewerSetup::blocsStore() const
{
    GraphicTrace &store = system->getGraphicTrace();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    std::set<const GraphicElement *> blocks;
    for (const auto *table : {&store.getTabCycle(), &store.getTabPc()}) {
        for (const auto &entry : *table)
            blocks.insert(entry.second.begin(), entry.second.end());
    }
    return int(blocks.size());
}
