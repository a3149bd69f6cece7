#include "controllerFixture.h"

#include "controller/zoomLevels.h"
#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/customEvents.h"
#include "gui/mainFrame.h"

#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QtTest>

namespace {
constexpr int repaintCycle = MainFrameRepaintTraceCycleEvent::Id;
constexpr int repaintPc = MainFrameRepaintTracePcEvent::Id;
constexpr int alert = MainFrameMessageAlertEvent::Id;
} // namespace

// The road of a start, the zoom levels and their file orders, missing files, and starts,
// zooms, slides and closes that come while files are being read.
class TestSystemLoading : public QObject
{
    Q_OBJECT

private slots:
    void roadOfOneStart()
    {
        ControllerFixture f;
        QVERIFY2(f.demarrer(), qPrintable(f.error));
        // Configuration on the GUI thread, then level 10: current file, none before cycle 0,
        // next file; a PC repaint for the level, then a cycle repaint per file read and one
        // at the end.
        QCOMPARE(f.system->getNiveauZoom(), 10);
        QCOMPARE(f.system->getFichiersLus(), f.noms({0, 100}, 10));
        QCOMPARE(f.recorder.ids, QList<int>({repaintPc, repaintCycle, repaintCycle, repaintCycle}));
        QCOMPARE(f.system->getTabConfig().size(), size_t(f.options.nbEventKinds));
        QCOMPARE(f.fichiersCycle(), QSet<int>({0, 100}));
        QCOMPARE(f.fenetre(), QList<int>({0, 190, false, true}));
        QCOMPARE(f.system->getGraphicTrace().getSizeTabCycle(), 20);
        QVERIFY(f.system->getGraphicTrace().getTabPc().empty());
        QVERIFY(f.alertes().isEmpty());

        // One 20-pixel column per group of ten cycles, one 10-pixel row per event, the
        // event's colour faded by its count.
        const auto &tabConfig = f.system->getTabConfig();
        int checked = 0;
        auto placed = [&](int cycle, const GraphicBlock &b) {
            const ConfigEvent &event = tabConfig.at(b.getName());
            const QBrush brush(ZoomLevels::calculerCouleur(event.getBrush().color(), Qt::white,
                                                           b.getNbEvent(), 10),
                               event.getBrush().style());
            ++checked;
            return cycle % 10 == 0 && b.getNbEvent() >= 0 && b.getNbEvent() <= 10 &&
                   b.getPositionXTraceCycle() == cycle / 10 * 20 && b.getBrush() == brush &&
                   b.getPositionYTraceCycle() == event.getPosition() * 10 &&
                   b.getLargeurBlockTraceCycle() == 20 && b.getHauteurBlockTraceCycle() == 10;
        };
        QCOMPARE(f.blocFautif(false, placed), QString());
        QVERIFY(checked > 20);

        // At a zoom level the PC view reads nothing.
        const int lus = f.lus();
        emit f.mainFrame->nextCycleTracePc(150);
        emit f.mainFrame->sliderHorizontalMovedTracePc(150);
        QVERIFY(f.attendre());
        QCOMPARE(f.lus(), lus);
        QCOMPARE(f.system->getCycleMaxTracePc(), 0);
    }

    // "Zoom +" at a level-10 cycle reads the trace files of its window, current first;
    // "Zoom -" a few cycles on comes back to the group holding them.
    void zoomInAndOut_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<QList<int>>("files"); // read in this order, at both levels
        QTest::addColumn<QList<int>>("window");
        QTest::addColumn<QList<int>>("posted"); // by "Zoom +"; empty: not compared
        QTest::newRow("middle") << 230 << QList<int>{200, 100, 300}
                                << QList<int>{100, 399, true, true}
                                << QList<int>{repaintPc, repaintCycle, repaintPc, repaintCycle,
                                              repaintCycle};
        QTest::newRow("last file")
            << 450 << QList<int>{400, 300} << QList<int>{300, 499, true, false} << QList<int>();
        QTest::newRow("first file")
            << 0 << QList<int>{0, 100} << QList<int>{0, 199, false, true} << QList<int>();
    }

    void zoomInAndOut()
    {
        QFETCH(int, at);
        QFETCH(QList<int>, files);
        QFETCH(QList<int>, posted);
        ControllerFixture f;
        QVERIFY2(f.demarrer(), qPrintable(f.error));
        for (int v = 100; v <= at; v += 100)
            QVERIFY(f.glisser(v));
        QVERIFY(f.glisser(at));
        int lus = f.lus();
        const int events = int(f.recorder.ids.size());
        emit f.mainFrame->nextZoom();
        QVERIFY(f.attendre());
        QCOMPARE(f.system->getNiveauZoom(), 1);
        QCOMPARE(f.system->getCycleCourantTraceCycle(), at);
        QCOMPARE(f.lusDepuis(lus), f.noms(files, 1));
        if (!posted.isEmpty())
            QCOMPARE(f.recorder.ids.mid(events), posted);
        QCOMPARE(f.fichiersCycle(), QSet<int>(files.begin(), files.end()));
        QCOMPARE(f.fichiersPc(), f.fichiersCycle());
        QFETCH(QList<int>, window);
        QCOMPARE(f.fenetre(), window);

        // Single-cycle blocks: one 20-pixel column per cycle, a row per event, the event's
        // brush; those with a pc are in the PC table, not yet placed (no listing loaded).
        const auto &tabConfig = f.system->getTabConfig();
        int sansPc = 0;
        auto placed = [&](int cycle, const GraphicBlock &b) {
            const ConfigEvent &event = tabConfig.at(b.getName());
            sansPc += b.getPc() < 0;
            if (b.getCycle() != cycle || b.getPositionXTraceCycle() != cycle * 20 ||
                b.getPositionYTraceCycle() != event.getPosition() * 20 ||
                b.getBrush() != event.getBrush())
                return false;
            if (b.getPc() < 0)
                return b.getPositionXTracePc() == -1;
            const auto &list = f.system->getGraphicTrace().getTabPc().at(b.getPc());
            return b.getPositionYTracePc() < 0 && std::count(list.begin(), list.end(), &b) == 1;
        };
        QCOMPARE(f.blocFautif(false, placed), QString());
        QVERIFY(sansPc > 0);

        QVERIFY(f.glisser(window[0])); // the first cycle loaded is reachable
        QCOMPARE(f.system->getCycleCourantTraceCycle(), window[0]);
        QVERIFY(f.glisser(at + 7));
        lus = f.lus();
        emit f.mainFrame->prevZoom();
        QVERIFY(f.attendre());
        QCOMPARE(f.system->getNiveauZoom(), 10);
        QCOMPARE(f.system->getCycleCourantTraceCycle(), at);
        QCOMPARE(f.system->getPositionSliderHorizontalTraceCycle(), at);
        QCOMPARE(f.lusDepuis(lus), f.noms(files, 10));
        QVERIFY(f.system->getGraphicTrace().getTabPc().empty());
        QVERIFY(f.alertes().isEmpty());
    }

    // Before a start: a resize only sets the zoom table; the level is 1, the finest, and
    // "Zoom -" starts at level 10, the coarsest.
    void zoomAtTheEnds()
    {
        ControllerFixture f;
        QVERIFY2(f.ok(), qPrintable(f.error));
        f.creer();
        f.mainFrame->resize(900, 700);
        QTRY_COMPARE(f.system->getInfosZoom().at(10).getNbBlockHorizontalToPaint(),
                     f.mainFrame->getLargeurTraceCycle() / 20 + 1);
        QCOMPARE(f.system->getInfosZoom().at(1).getNbBlockVerticalToPaint(),
                 f.mainFrame->getHauteurTraceCycle() / 20 + 1);
        emit f.mainFrame->nextZoom();
        QTRY_COMPARE(f.informations(), QList<QString>({"Vous etes au niveau de zoom maximum"}));
        QVERIFY(f.system->getFichiersLus().isEmpty());
        emit f.mainFrame->prevZoom();
        QVERIFY(f.attendre());
        QCOMPARE(f.system->getNiveauZoom(), 10);
        QCOMPARE(f.system->getFichiersLus(), f.noms({0, 100}, 10));
        emit f.mainFrame->prevZoom();
        QTRY_COMPARE(f.informations().size(), 2);
        QCOMPARE(f.informations().last(), QStringLiteral("Vous etes au niveau de zoom minimum"));
        QCOMPARE(f.lus(), 2);
        QCOMPARE(f.system->getNiveauZoom(), 10);
    }

    void missingFileGivesOneAlert_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QList<int>>("lastEvents");
        QTest::newRow("configuration") << "config" << QList<int>{alert};
        QTest::newRow("zoom file") << "zoom" << QList<int>{repaintPc, alert};
        // Level 1 reached with "Zoom +" after a good start at level 10.
        QTest::newRow("trace file") << "trace" << QList<int>{repaintCycle, repaintPc, alert};
        // A new prefix names the next file read; the files loaded stay until then.
        QTest::newRow("trace file of a new prefix")
            << "prefix" << QList<int>{repaintCycle, repaintPc, alert};
    }

    void missingFileGivesOneAlert()
    {
        QFETCH(QString, missing);
        QFETCH(QList<int>, lastEvents);
        ControllerFixture f;
        QVERIFY2(f.ok(), qPrintable(f.error));
        const QString file = missing == "config" ? f.options.configFilePath()
                             : missing == "zoom" ? f.zoomFile(0)
                             : missing == "prefix"
                                 ? QFileInfo(f.traceFile(0)).path() + "/other_0.xml"
                                 : f.traceFile(0);
        QVERIFY(missing == "prefix" || QFile::remove(file));
        f.creer();
        emit f.mainFrame->demarrer();
        if (missing == "trace" || missing == "prefix") {
            QVERIFY(f.attendre());
            if (missing == "prefix")
                emit f.mainFrame->tracePrefixChanged(QStringLiteral("other"));
            QCOMPARE(f.fichiersCycle(), QSet<int>({0, 100}));
            emit f.mainFrame->nextZoom();
        }
        QTRY_COMPARE(f.alertes(), QList<QString>({"File " + file + " doesn't exist"}));
        // Nothing else happens: no read, no repaint of the cycle view, no second box.
        QCoreApplication::processEvents();
        QVERIFY(!f.system->chargementEnCours());
        QCOMPARE(f.alertes().size(), 1);
        QCOMPARE(f.recorder.ids.mid(f.recorder.ids.size() - lastEvents.size()), lastEvents);
        QCOMPARE(f.system->getGraphicTrace().getSizeTabCycle(), 0);
        QCOMPARE(f.lus(), missing == "zoom" || missing == "config" ? 0 : 2);
    }

    void unreadableNeighbourStillEndsTheLoad()
    {
        ControllerFixture f;
        // Something that exists but cannot be read as a file.
        QVERIFY(QFile::remove(f.zoomFile(100)) && QDir().mkdir(f.zoomFile(100)));
        QVERIFY2(f.demarrer(), qPrintable(f.error));
        QCOMPARE(f.alertes(), QList<QString>({"File " + f.zoomFile(100) + " can't be read"}));
        // The phases go on as if the file had been read: the last repaint follows the alert.
        QCOMPARE(f.recorder.ids,
                 QList<int>({repaintPc, repaintCycle, repaintCycle, alert, repaintCycle}));
        QCOMPARE(f.fichiersCycle(), QSet<int>({0}));
    }

    // Starts, zooms, a slide and a close, each while files are read: the results of abandoned
    // loads are gone, a busy neighbour is not given a new file, and closing returns once
    // every parser thread has stopped.
    void whileLoading()
    {
        ControllerFixture f(grandJeu());
        QVERIFY2(f.ok(), qPrintable(f.error));
        f.creer();
        emit f.mainFrame->demarrer();
        emit f.mainFrame->demarrer();
        emit f.mainFrame->demarrer();
        QVERIFY(f.attendre(120000));
        QCOMPARE(f.fichiersCycle(), QSet<int>({0, 20000}));
        QCOMPARE(f.system->getGraphicTrace().getSizeTabCycle(), 4000);
        QVERIFY(f.aucuneFuite());

        emit f.mainFrame->nextZoom();
        QTRY_VERIFY(f.system->chargementEnCours());
        emit f.mainFrame->prevZoom();
        emit f.mainFrame->nextZoom();
        QVERIFY(f.attendre(120000));
        QCOMPARE(f.system->getNiveauZoom(), 1);
        QCOMPARE(f.fichiersCycle(), QSet<int>({0, 20000}));
        QCOMPARE(f.system->getGraphicTrace().getSizeTabCycle(), 40000);
        // No zoom block left behind.
        auto single = [](int, const GraphicBlock &b) {
            return b.getHauteurBlockTraceCycle() == 20;
        };
        QCOMPARE(f.blocFautif(false, single), QString());
        QVERIFY(f.aucuneFuite());
        QVERIFY(f.alertes().isEmpty());

        // Into the next file: moving on while it is read only repaints, and a release puts
        // the slider back at the last position.
        emit f.mainFrame->sliderHorizontalMovedTraceCycle(20000);
        QVERIFY(f.system->chargementEnCours());
        const int lus = f.lus();
        emit f.mainFrame->sliderHorizontalMovedTraceCycle(20010);
        emit f.mainFrame->nextCycleTraceCycle(20011);
        QCOMPARE(f.lus(), lus);
        f.barreCycle()->setValue(5);
        emit f.mainFrame->sliderHorizontalReleasedTraceCycle(20011);
        QCOMPARE(f.barreCycle()->value(), 20011);
        QVERIFY(f.attendre(120000));
        QCOMPARE(f.fichiersCycle(), QSet<int>({0, 20000, 40000}));
        QCOMPARE(f.lus(), lus);

        emit f.mainFrame->demarrer();
        QVERIFY(f.system->threadsEnCours());
        f.mainFrame->close();
        QVERIFY(!f.system->threadsEnCours());
        delete f.mainFrame;
        f.mainFrame = nullptr;
        QCoreApplication::processEvents();
        f.system.reset();
        QCOMPARE(GraphicBlock::liveCount(), 0);
    }
};

QTEST_MAIN(TestSystemLoading)
#include "tst_systemLoading.moc"
