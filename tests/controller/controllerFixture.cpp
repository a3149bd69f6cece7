#include "controllerFixture.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/customEvents.h"
#include "gui/mainFrame.h"
#include "gui/traceWidgetCycle.h"

#include <QDir>
#include <QEvent>
#include <QtTest>

#include <set>

bool EventRecorder::eventFilter(QObject *watched, QEvent *event)
{
    for (int id : {TableAsmSetPcEvent::Id, TableAsmSetMnemonicEvent::Id, TableAsmSetValueEvent::Id,
                   MainFrameMessageInfoEvent::Id, MainFrameMessageAlertEvent::Id,
                   MainFrameRepaintTraceCycleEvent::Id, MainFrameRepaintTracePcEvent::Id,
                   MainFrameAdjustAsm::Id}) {
        if (GuiEvents::typeFromId(id) == event->type())
            ids.append(id);
    }
    return QObject::eventFilter(watched, event);
}

ControllerFixture::ControllerFixture(const TraceGeneratorOptions &generatorOptions,
                                     bool writeParametres)
    : options(generatorOptions)
{
    ancienHandler = MessageBox::setHandler(
        [this](MessageBox::Kind kind, const QString &title, const QString &text) {
            const bool titled = (kind == MessageBox::Kind::Alert && title == "error") ||
                                (kind == MessageBox::Kind::Information && title == "information");
            messages.append({titled ? kind : MessageBox::Kind::About, text});
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
    if (!writeParametres)
        return;
    Parametres p;
    p.configFile = options.configFilePath();
    p.traceDirectory = QFileInfo(traceFile(0)).absolutePath();
    p.zoomDirectory = QFileInfo(zoomFile(0)).absolutePath();
    p.asmDirectory = QFileInfo(asmFile(0)).absolutePath();
    p.nbCycleParTrace = options.nbCycleParTrace;
    p.nbPcParAsm = options.nbPcParAsm;
    p.nbCycleTotal = options.nbCycleTotal;
    p.save(QStringLiteral("Parametres.txt"), &error);
}

ControllerFixture::~ControllerFixture()
{
    fermer();
    MessageBox::setHandler(ancienHandler);
    if (!ancienDossier.isEmpty())
        QDir::setCurrent(ancienDossier);
}

void ControllerFixture::creer()
{
    mainFrame = new MainFrame();
    mainFrame->installEventFilter(&recorder);
    mainFrame->resize(640, 480);
    mainFrame->show();
    system = std::make_unique<System>(mainFrame);
}

void ControllerFixture::fermer()
{
    if (mainFrame) {
        mainFrame->close();
        delete mainFrame;
        mainFrame = nullptr;
    }
    system.reset();
}

bool ControllerFixture::attendre(int timeoutMs)
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

bool ControllerFixture::demarrer(int zoomIns)
{
    if (!ok())
        return false;
    if (!mainFrame)
        creer();
    emit mainFrame->demarrer();
    for (int i = 0; attendre(); ++i) {
        if (i == zoomIns)
            return true;
        emit mainFrame->nextZoom();
    }
    error = QStringLiteral("the loads did not end");
    return false;
}

bool ControllerFixture::glisser(int cycle)
{
    emit mainFrame->sliderHorizontalMovedTraceCycle(cycle);
    return attendre();
}

QScrollBar *ControllerFixture::barreCycle() const
{
    return mainFrame->findChild<TraceWidgetCycle *>(QStringLiteral("traceWidgetCycle"))
        ->getHorizontalScrollBar();
}

QStringList ControllerFixture::noms(const QList<int> &numeros, int niveau) const
{
    QStringList names;
    for (int n : numeros) {
        const Parametres &p = system->getParametres();
        names << (niveau == 1 ? p.traceFilename(n) : p.zoomFilename(niveau, n));
    }
    return names;
}

QList<int> ControllerFixture::fenetre() const
{
    return {system->getCycleMinTraceCycle(), system->getCycleMaxTraceCycle(),
            system->getTracePrecedenteChargee(), system->getTraceSuivanteChargee()};
}

QSet<int> ControllerFixture::fichiersCycle() const
{
    const int nb = system->getParametres().nbCycleParTrace;
    GraphicTrace &store = system->getGraphicTrace();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    QSet<int> files;
    for (const auto &entry : store.getTabCycle())
        files.insert(entry.first / nb * nb);
    return files;
}

QSet<int> ControllerFixture::fichiersPc() const
{
    const int nb = system->getParametres().nbCycleParTrace;
    QSet<int> files;
    blocFautif(true, [&](int, const GraphicBlock &block) {
        files.insert(block.getCycle() / nb * nb);
        return true;
    });
    return files;
}

QString
ControllerFixture::blocFautif(bool tabPc,
                              const std::function<bool(int, const GraphicBlock &)> &ok) const
{
    GraphicTrace &store = system->getGraphicTrace();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    for (const auto &entry : tabPc ? store.getTabPc() : store.getTabCycle()) {
        for (GraphicElement *element : entry.second) {
            const auto &block = *static_cast<GraphicBlock *>(element);
            if (!ok(entry.first, block))
                return block.getName() + " at " + QString::number(entry.first);
        }
    }
    return QString();
}

bool ControllerFixture::aucuneFuite() const
{
    GraphicTrace &store = system->getGraphicTrace();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    std::set<const GraphicElement *> blocks;
    for (const auto *table : {&store.getTabCycle(), &store.getTabPc()}) {
        for (const auto &entry : *table)
            blocks.insert(entry.second.begin(), entry.second.end());
    }
    return GraphicBlock::liveCount() == int(blocks.size());
}

QList<QString> ControllerFixture::textes(MessageBox::Kind kind) const
{
    QList<QString> result;
    for (const auto &message : messages) {
        if (message.first == kind)
            result.append(message.second);
    }
    return result;
}

TraceGeneratorOptions grandJeu()
{
    TraceGeneratorOptions options;
    options.nbCycleTotal = 60000;
    options.nbCycleParTrace = 20000;
    options.nbPc = 400;
    return options;
}
