#include "controllerFixture.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/customEvents.h"
#include "gui/mainFrame.h"
#include "gui/traceWidgetCycle.h"

#include <QEvent>
#include <QtTest>

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
    return GraphicBlock::liveCount() == blocsStore();
}

// Only the boxes of the controller's own kinds and titles count.
QList<QString> ControllerFixture::textes(MessageBox::Kind kind) const
{
    const QString title = kind == MessageBox::Kind::Alert ? "error" : "information";
    QList<QString> result;
    for (const Message &message : recus) {
        if (message.kind == kind && message.title == title)
            result.append(message.text);
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
