#include "controllerFixture.h"

#include "controller/zoomLevels.h"
#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/customEvents.h"
#include "gui/mainFrame.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// The road of a start, the zoom levels and their file orders, missing files, and starts,
// zooms and closes that come while files are being read.
class TestSystemLoading : public QObject
{
    Q_OBJECT

private slots:
    void roadOfOneStart();
    void zoomBlocksPlacedAndColoured();
    void zoomSequence();
    void zoomAtTheEnds();
    void secondStartStartsOver();
    void missingFileGivesOneAlert_data();
    void missingFileGivesOneAlert();
    void lastFileOnAFreshLoad();
    void unreadableNeighbourStillEndsTheLoad();
    void resizeReadsNothing();
    void startWhileLoading();
    void zoomWhileLoading();
    void closeWhileLoading();
};

namespace {

constexpr int repaintCycle = MainFrameRepaintTraceCycleEvent::Id;
constexpr int repaintPc = MainFrameRepaintTracePcEvent::Id;

// Moves the cycle view's slider as a user would, waiting for each slide's read.
bool glisser(ControllerFixture &f, int v)
{
    emit f.mainFrame->sliderHorizontalMovedTraceCycle(v);
    return f.attendre();
}

// A data set large enough that its reads are still running when the test acts.
TraceGeneratorOptions grandJeu()
{
    TraceGeneratorOptions options;
    options.nbCycleTotal = 60000;
    options.nbCycleParTrace = 20000;
    options.nbPc = 400;
    return options;
}

} // namespace

void TestSystemLoading::roadOfOneStart()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    QCOMPARE(f.system->getNiveauZoom(), 1);

    emit f.mainFrame->demarrer();
    QVERIFY(f.attendre());

    // Configuration on the GUI thread, then level 10: current file, no previous one at
    // cycle 0, next file; a PC repaint from the level change, then a cycle repaint after
    // the first file and one after each neighbour.
    QCOMPARE(f.system->getNiveauZoom(), 10);
    QCOMPARE(f.system->getFichiersLus(), QStringList({f.zoomName(0), f.zoomName(100)}));
    QCOMPARE(f.recorder.ids, QList<int>({repaintPc, repaintCycle, repaintCycle, repaintCycle}));
    QVERIFY(f.alertes().isEmpty());
    QCOMPARE(f.system->getTabConfig().size(), size_t(f.options.nbEventKinds));

    // Window: current and next file; 20 groups of ten cycles; no zoom block in the PC table.
    QCOMPARE(f.fichiersCycle(), QSet<int>({0, 100}));
    QCOMPARE(f.system->getGraphicTrace().getSizeTabCycle(), 20);
    QVERIFY(f.system->getGraphicTrace().getTabPc().empty());
    QVERIFY(!f.system->getTracePrecedenteChargee());
    QVERIFY(f.system->getTraceSuivanteChargee());
    QCOMPARE(f.system->getCycleMinTraceCycle(), 0);
    QCOMPARE(f.system->getCycleMaxTraceCycle(), 190);
}

void TestSystemLoading::zoomBlocksPlacedAndColoured()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    emit f.mainFrame->demarrer();
    QVERIFY(f.attendre());

    const auto &tabConfig = f.system->getTabConfig();
    GraphicTrace &store = f.system->getGraphicTrace();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    int checked = 0;
    for (const auto &entry : store.getTabCycle()) {
        const int cycle = entry.first;
        QCOMPARE(cycle % 10, 0);
        for (GraphicElement *element : entry.second) {
            const auto *block = static_cast<GraphicBlock *>(element);
            const ConfigEvent &event = tabConfig.at(block->getName());
            // One column per group of ten cycles, one 10-pixel row per event.
            QCOMPARE(block->getPositionXTraceCycle(), cycle / 10 * 20);
            QCOMPARE(block->getPositionYTraceCycle(), event.getPosition() * 10);
            QCOMPARE(block->getLargeurBlockTraceCycle(), 20);
            QCOMPARE(block->getHauteurBlockTraceCycle(), 10);
            QVERIFY(block->getNbEvent() >= 0 && block->getNbEvent() <= 10);
            const QColor expected = ZoomLevels::calculerCouleur(event.getBrush().color(), Qt::white,
                                                                block->getNbEvent(), 10);
            QCOMPARE(block->getBrush().color(), expected);
            QCOMPARE(block->getBrush().style(), event.getBrush().style());
            ++checked;
        }
    }
    QVERIFY(checked > 20);
}

void TestSystemLoading::zoomSequence()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    emit f.mainFrame->demarrer();
    QVERIFY(f.attendre());
    QVERIFY(glisser(f, 100));
    QVERIFY(glisser(f, 200));
    QVERIFY(glisser(f, 230));
    QCOMPARE(f.system->getCycleCourantTraceCycle(), 230);

    // Zoom in at cycle 230: trace files 200, 100, 300, in that order.
    int lus = f.system->getFichiersLus().size();
    int posted = f.recorder.ids.size();
    emit f.mainFrame->nextZoom();
    QVERIFY(f.attendre());
    QCOMPARE(f.system->getNiveauZoom(), 1);
    QCOMPARE(f.system->getCycleCourantTraceCycle(), 230);
    QCOMPARE(f.system->getFichiersLus().mid(lus),
             QStringList({f.traceName(200), f.traceName(100), f.traceName(300)}));
    QCOMPARE(f.recorder.ids.mid(posted),
             QList<int>({repaintPc, repaintCycle, repaintPc, repaintCycle, repaintCycle}));
    QCOMPARE(f.fichiersCycle(), QSet<int>({100, 200, 300}));
    QCOMPARE(f.fichiersPc(), QSet<int>({100, 200, 300}));
    QCOMPARE(f.system->getCycleMinTraceCycle(), 100);
    QCOMPARE(f.system->getCycleMaxTraceCycle(), 399);

    // Level 1 blocks: one 20-pixel column per cycle.
    {
        GraphicTrace &store = f.system->getGraphicTrace();
        std::lock_guard<std::recursive_mutex> lock(store.mutex());
        for (GraphicElement *element : store.getTabCycle().at(237))
            QCOMPARE(element->getPositionXTraceCycle(), 237 * 20);
    }

    // Zoom out at cycle 237: level 10 at cycle 230, zoom files 200, 100, 300.
    QVERIFY(glisser(f, 237));
    lus = f.system->getFichiersLus().size();
    emit f.mainFrame->prevZoom();
    QVERIFY(f.attendre());
    QCOMPARE(f.system->getNiveauZoom(), 10);
    QCOMPARE(f.system->getCycleCourantTraceCycle(), 230);
    QCOMPARE(f.system->getPositionSliderHorizontalTraceCycle(), 230);
    QCOMPARE(f.system->getFichiersLus().mid(lus),
             QStringList({f.zoomName(200), f.zoomName(100), f.zoomName(300)}));
    QVERIFY(f.system->getGraphicTrace().getTabPc().empty());
    QVERIFY(f.alertes().isEmpty());
}

void TestSystemLoading::zoomAtTheEnds()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    // Before any start the level is 1, the finest.
    emit f.mainFrame->nextZoom();
    QTRY_COMPARE(f.informations(), QList<QString>({"Vous etes au niveau de zoom maximum"}));
    QVERIFY(f.system->getFichiersLus().isEmpty());
    emit f.mainFrame->prevZoom();
    QVERIFY(f.attendre());
    QCOMPARE(f.system->getNiveauZoom(), 10);
    QCOMPARE(f.system->getFichiersLus(), QStringList({f.zoomName(0), f.zoomName(100)}));
    emit f.mainFrame->prevZoom();
    QTRY_COMPARE(f.informations().size(), 2);
    QCOMPARE(f.informations().last(), QStringLiteral("Vous etes au niveau de zoom minimum"));
    QCOMPARE(f.system->getFichiersLus().size(), 2);
    QCOMPARE(f.system->getNiveauZoom(), 10);
}

void TestSystemLoading::secondStartStartsOver()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    emit f.mainFrame->demarrer();
    QVERIFY(f.attendre());
    emit f.mainFrame->nextZoom();
    QVERIFY(f.attendre());
    QVERIFY(glisser(f, 150));
    QCOMPARE(f.fichiersCycle(), QSet<int>({0, 100, 200}));
    // A pc chosen, and the PC view reading a file of its own when the start comes.
    emit f.mainFrame->displayPcTracePc(5, 150);
    emit f.mainFrame->nextCycleTracePc(200);
    QVERIFY(f.system->chargementEnCours());

    const int lus = f.system->getFichiersLus().size();
    emit f.mainFrame->demarrer();
    QVERIFY(f.attendre());
    QVERIFY(!f.system->getTracePcSeparee());
    QCOMPARE(f.system->getNumAsmCharge(), -1);
    QVERIFY(f.system->getTabPositionPc().empty());
    QCOMPARE(f.system->getNiveauZoom(), 10);
    QCOMPARE(f.system->getCycleCourantTraceCycle(), 0);
    QCOMPARE(f.system->getFichiersLus().mid(lus), QStringList({f.zoomName(0), f.zoomName(100)}));
    QCOMPARE(f.fichiersCycle(), QSet<int>({0, 100}));
    QVERIFY(f.system->getGraphicTrace().getTabPc().empty());
    QCOMPARE(GraphicBlock::liveCount(), f.blocsStore());
}

void TestSystemLoading::missingFileGivesOneAlert_data()
{
    QTest::addColumn<QString>("missing"); // config, zoom or trace
    QTest::addColumn<QList<int>>("lastEvents");

    const int alert = MainFrameMessageAlertEvent::Id;
    QTest::newRow("configuration") << "config" << QList<int>{alert};
    QTest::newRow("zoom file") << "zoom" << QList<int>{repaintPc, alert};
    // Level 1 reached with "Zoom +" after a good start at level 10.
    QTest::newRow("trace file") << "trace" << QList<int>{repaintCycle, repaintPc, alert};
}

void TestSystemLoading::missingFileGivesOneAlert()
{
    QFETCH(QString, missing);
    QFETCH(QList<int>, lastEvents);
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    const QString file = missing == "config" ? f.options.configFilePath()
                         : missing == "zoom" ? f.zoomFile(0)
                                             : f.traceFile(0);
    QVERIFY(QFile::remove(file));
    f.creer();

    emit f.mainFrame->demarrer();
    if (missing == "trace") {
        QVERIFY(f.attendre());
        emit f.mainFrame->nextZoom();
    }
    QTRY_COMPARE(f.alertes(), QList<QString>({"File " + file + " doesn't exist"}));
    // Nothing else happens: no read, no repaint of the cycle view, no second box.
    QCoreApplication::processEvents();
    QVERIFY(!f.system->chargementEnCours());
    QCOMPARE(f.alertes().size(), 1);
    QCOMPARE(f.recorder.ids.mid(f.recorder.ids.size() - lastEvents.size()), lastEvents);
    QCOMPARE(f.system->getGraphicTrace().getSizeTabCycle(), 0);
    QCOMPARE(f.system->getFichiersLus().size(), missing == "trace" ? 2 : 0);
}

void TestSystemLoading::lastFileOnAFreshLoad()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    emit f.mainFrame->demarrer();
    QVERIFY(f.attendre());
    for (int v : {100, 200, 300, 400, 450})
        QVERIFY(glisser(f, v));
    const int lus = f.system->getFichiersLus().size();
    emit f.mainFrame->nextZoom();
    QVERIFY(f.attendre());
    // No file after the last one: the window is the previous and the current file, and the
    // previous one stays reachable.
    QCOMPARE(f.system->getFichiersLus().mid(lus),
             QStringList({f.traceName(400), f.traceName(300)}));
    QCOMPARE(f.fichiersCycle(), QSet<int>({300, 400}));
    QVERIFY(f.system->getTracePrecedenteChargee());
    QVERIFY(!f.system->getTraceSuivanteChargee());
    QCOMPARE(f.system->getNumTracePrecedente(), 300);
    QCOMPARE(f.system->getCycleMinTraceCycle(), 300);
    QCOMPARE(f.system->getCycleMaxTraceCycle(), 499);
    emit f.mainFrame->sliderHorizontalMovedTraceCycle(350);
    QCOMPARE(f.system->getCycleCourantTraceCycle(), 350);
}

void TestSystemLoading::unreadableNeighbourStillEndsTheLoad()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    // Something that exists but cannot be read as a file.
    QVERIFY(QFile::remove(f.zoomFile(100)));
    QVERIFY(QDir().mkdir(f.zoomFile(100)));
    f.creer();
    emit f.mainFrame->demarrer();
    QVERIFY(f.attendre());
    QCOMPARE(f.alertes(), QList<QString>({"File " + f.zoomFile(100) + " can't be read"}));
    // The phases go on as if the file had been read: the last repaint follows the alert.
    QCOMPARE(f.recorder.ids, QList<int>({repaintPc, repaintCycle, repaintCycle,
                                         MainFrameMessageAlertEvent::Id, repaintCycle}));
    QCOMPARE(f.fichiersCycle(), QSet<int>({0}));
}

void TestSystemLoading::resizeReadsNothing()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    f.mainFrame->resize(900, 700);
    QTRY_COMPARE(f.system->getInfosZoom().at(10).getNbBlockHorizontalToPaint(),
                 f.mainFrame->getLargeurTraceCycle() / 20 + 1);
    QCOMPARE(f.system->getInfosZoom().at(1).getNbBlockVerticalToPaint(),
             f.mainFrame->getHauteurTraceCycle() / 20 + 1);
    QVERIFY(f.system->getFichiersLus().isEmpty());
    QVERIFY(!f.system->chargementEnCours());
}

void TestSystemLoading::startWhileLoading()
{
    ControllerFixture f(grandJeu());
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    emit f.mainFrame->demarrer();
    emit f.mainFrame->demarrer();
    emit f.mainFrame->demarrer();
    QVERIFY(f.attendre(120000));
    // The results of the abandoned starts are gone; the window is the one of a clean start.
    QCOMPARE(f.fichiersCycle(), QSet<int>({0, 20000}));
    QCOMPARE(f.system->getGraphicTrace().getSizeTabCycle(), 4000);
    QCOMPARE(f.system->getEtapeChargement(), 3);
    QCOMPARE(GraphicBlock::liveCount(), f.blocsStore());
    QVERIFY(f.alertes().isEmpty());
}

void TestSystemLoading::zoomWhileLoading()
{
    ControllerFixture f(grandJeu());
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    emit f.mainFrame->demarrer();
    QVERIFY(f.attendre(120000));
    emit f.mainFrame->nextZoom();
    // Back to level 10 while level 1 is still being read, then in again.
    QTRY_VERIFY(f.system->chargementEnCours());
    emit f.mainFrame->prevZoom();
    emit f.mainFrame->nextZoom();
    QVERIFY(f.attendre(120000));
    QCOMPARE(f.system->getNiveauZoom(), 1);
    QCOMPARE(f.fichiersCycle(), QSet<int>({0, 20000}));
    QCOMPARE(f.system->getGraphicTrace().getSizeTabCycle(), 40000);
    // No zoom block left behind: every block is a single-cycle block.
    {
        GraphicTrace &store = f.system->getGraphicTrace();
        std::lock_guard<std::recursive_mutex> lock(store.mutex());
        for (const auto &entry : store.getTabCycle()) {
            for (GraphicElement *element : entry.second)
                QCOMPARE(static_cast<GraphicBlock *>(element)->getHauteurBlockTraceCycle(), 20);
        }
    }
    QCOMPARE(GraphicBlock::liveCount(), f.blocsStore());
    QVERIFY(f.alertes().isEmpty());
}

void TestSystemLoading::closeWhileLoading()
{
    ControllerFixture f(grandJeu());
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    emit f.mainFrame->demarrer();
    QVERIFY(f.system->threadsEnCours());
    f.mainFrame->close();
    // Closing returns once every parser thread has stopped.
    QVERIFY(!f.system->threadsEnCours());
    delete f.mainFrame;
    f.mainFrame = nullptr;
    QCoreApplication::processEvents();
    f.system.reset();
    QCOMPARE(GraphicBlock::liveCount(), 0);
}

QTEST_MAIN(TestSystemLoading)
#include "tst_systemLoading.moc"
