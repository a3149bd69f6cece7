#include "controllerFixture.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/customEvents.h"
#include "gui/mainFrame.h"

#include <QDir>
#include <QEvent>
#include <QtTest>

#include <set>

namespace {

int identity(QEvent::Type type)
{
    static const int ids[] = {TableAsmSetPcEvent::Id,           TableAsmSetMnemonicEvent::Id,
                              TableAsmSetValueEvent::Id,        MainFrameMessageInfoEvent::Id,
                              MainFrameMessageAlertEvent::Id,   MainFrameRepaintTraceCycleEvent::Id,
                              MainFrameRepaintTracePcEvent::Id, MainFrameAdjustAsm::Id};
    for (int id : ids) {
        if (GuiEvents::typeFromId(id) == type)
            return id;
    }
    return 0;
}

} // namespace

QList<int> EventRecorder::ids() const
{
    return idsFrom(0);
}

QList<int> EventRecorder::idsFrom(int first) const
{
    QList<int> result;
    for (int i = first; i < events.size(); ++i)
        result.append(events.at(i).id);
    return result;
}

bool EventRecorder::eventFilter(QObject *watched, QEvent *event)
{
    const int id = identity(event->type());
    if (id != 0) {
        PostedEvent posted;
        posted.id = id;
        if (const auto *alert = dynamic_cast<MainFrameMessageAlertEvent *>(event))
            posted.message = alert->getMessage();
        if (const auto *info = dynamic_cast<MainFrameMessageInfoEvent *>(event))
            posted.message = info->getMessage();
        events.append(posted);
    }
    return QObject::eventFilter(watched, event);
}

ControllerFixture::ControllerFixture(const TraceGeneratorOptions &generatorOptions,
                                     bool writeParametres)
    : options(generatorOptions)
{
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
    if (writeParametres) {
        Parametres p;
        p.configFile = options.configFilePath();
        p.traceDirectory = QFileInfo(options.traceFilePath(0)).absolutePath();
        p.zoomDirectory = QFileInfo(options.zoomFilePath(10, 0)).absolutePath();
        p.asmDirectory = QFileInfo(options.asmFilePath(0)).absolutePath();
        p.tracePrefixe = options.tracePrefixe;
        p.zoomPrefixe = options.zoomPrefixe;
        p.asmPrefixe = options.asmPrefixe;
        p.nbCycleParTrace = options.nbCycleParTrace;
        p.nbPcParAsm = options.nbPcParAsm;
        p.nbCycleTotal = options.nbCycleTotal;
        if (!p.save(QStringLiteral("Parametres.txt"), &error))
            return;
    }
    ancienHandler = MessageBox::setHandler(
        [this](MessageBox::Kind kind, const QString &title, const QString &text) {
            messages.append({kind, title, text});
        });
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

QString ControllerFixture::path(const QString &relative) const
{
    return dir.filePath(relative);
}

QString ControllerFixture::traceName(int numero) const
{
    return system->getParametres().traceFilename(numero);
}

QString ControllerFixture::zoomName(int numero) const
{
    return system->getParametres().zoomFilename(10, numero);
}

bool ControllerFixture::attendre(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (!system->chargementEnCours() && system->getEtapeChargement() == 3) {
            // Let the events posted by the last end step arrive too.
            QCoreApplication::processEvents();
            return true;
        }
    }
    return false;
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
    GraphicTrace &store = system->getGraphicTrace();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    QSet<int> files;
    for (const auto &entry : store.getTabPc()) {
        for (GraphicElement *element : entry.second)
            files.insert(static_cast<GraphicBlock *>(element)->getCycle() / nb * nb);
    }
    return files;
}

int ControllerFixture::blocsStore() const
{
    GraphicTrace &store = system->getGraphicTrace();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    std::set<const GraphicElement *> blocks;
    for (const auto &entry : store.getTabCycle())
        blocks.insert(entry.second.begin(), entry.second.end());
    for (const auto &entry : store.getTabPc())
        blocks.insert(entry.second.begin(), entry.second.end());
    return int(blocks.size());
}

QList<QString> ControllerFixture::alertes() const
{
    QList<QString> result;
    for (const Message &m : messages) {
        if (m.kind == MessageBox::Kind::Alert && m.title == QLatin1String("error"))
            result.append(m.text);
    }
    return result;
}

QList<QString> ControllerFixture::informations() const
{
    QList<QString> result;
    for (const Message &m : messages) {
        if (m.kind == MessageBox::Kind::Information && m.title == QLatin1String("information"))
            result.append(m.text);
    }
    return result;
}
