#include "controllerFixture.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/customEvents.h"
#include "gui/mainFrame.h"
#include "gui/tableAsm.h"

#include <QFile>
#include <QScrollBar>
#include <QtTest>

// Sliding the windows of files, their edges and snap-backs, and choosing a pc: the assembly
// table, the rows of the PC view and the PC view's own window.
class TestSystemNavigation : public QObject
{
    Q_OBJECT

private slots:
    void slidingForwardAndBack()
    {
        ControllerFixture f;
        QVERIFY2(f.demarrer(1), qPrintable(f.error));
        struct Step
        {
            int v;
            QSet<int> files;
            QList<int> read; // by this step
            QList<int> window;
        };
        const QList<Step> steps = {
            {100, {0, 100, 200}, {200}, {0, 299, true, true}},
            {200, {100, 200, 300}, {300}, {100, 399, true, true}},
            {300, {200, 300, 400}, {400}, {200, 499, true, true}},
            // Last file: nothing to read after it; the previous one falls out.
            {400, {300, 400}, {}, {300, 499, true, false}},
            {450, {300, 400}, {}, {300, 499, true, false}},
            {399, {200, 300, 400}, {200}, {200, 499, true, true}},
            {299, {100, 200, 300}, {100}, {100, 399, true, true}},
            {199, {0, 100, 200}, {0}, {0, 299, true, true}},
            // First file: there is no file before it; the next one falls out.
            {99, {0, 100}, {}, {0, 199, false, true}},
            {0, {0, 100}, {}, {0, 199, false, true}},
        };
        for (const Step &step : steps) {
            const int lus = f.lus();
            QVERIFY(f.glisser(step.v));
            const QByteArray at = "at cycle " + QByteArray::number(step.v);
            QVERIFY2(f.fichiersCycle() == step.files, at);
            // Until a pc is chosen the PC table follows the cycle view's window.
            QVERIFY2(f.fichiersPc() == step.files, at);
            QVERIFY2(f.lusDepuis(lus) == f.noms(step.read, 1), at);
            QVERIFY2(f.fenetre() == step.window, at);
            QVERIFY2(f.system->getCycleCourantTraceCycle() == step.v, at);
            QVERIFY2(f.aucuneFuite(), at);
        }
        QVERIFY(f.alertes().isEmpty());
    }

    // A move outside the loaded cycles, or off the level's multiples, is refused; outside
    // the cycles it puts the slider back, and so does a release outside the bounds.
    void snapBacks_data()
    {
        QTest::addColumn<int>("zoomIns");
        QTest::addColumn<int>("start"); // accepted position first
        QTest::addColumn<int>("moved");
        QTest::addColumn<int>("expected"); // the accepted position afterwards
        QTest::addColumn<bool>("snapped");
        QTest::newRow("below the first loaded cycle") << 1 << 150 << -5 << 150 << true;
        QTest::newRow("after the last loaded cycle") << 1 << 150 << 300 << 150 << true;
        QTest::newRow("last loaded cycle") << 1 << 150 << 299 << 299 << false;
        QTest::newRow("first loaded cycle") << 1 << 150 << 0 << 0 << false;
        QTest::newRow("level 10, not a multiple") << 0 << 30 << 37 << 30 << false;
        QTest::newRow("level 10, a multiple") << 0 << 30 << 20 << 20 << false;
    }

    void snapBacks()
    {
        QFETCH(int, zoomIns);
        QFETCH(int, start);
        QFETCH(int, moved);
        QFETCH(int, expected);
        ControllerFixture f;
        QVERIFY2(f.demarrer(zoomIns), qPrintable(f.error));
        QVERIFY(f.glisser(start));
        QVERIFY(f.glisser(moved));
        QCOMPARE(f.system->getPositionSliderHorizontalTraceCycle(), expected);
        QCOMPARE(f.system->getCycleCourantTraceCycle(), expected);
        QFETCH(bool, snapped);
        if (snapped)
            QCOMPARE(f.barreCycle()->value(), start);
        f.barreCycle()->setValue(42);
        emit f.mainFrame->sliderHorizontalReleasedTraceCycle(100000);
        QCOMPARE(f.barreCycle()->value(), expected);
    }

    // One read per listing file, the table filled through posted events; the parameters
    // dialog's OK resets the rows and they are filled again; a new cut forgets the listing.
    void assemblyTable()
    {
        ControllerFixture f;
        QVERIFY2(f.demarrer(1), qPrintable(f.error));
        auto *table = f.mainFrame->findChild<TableAsm *>(QStringLiteral("tableAsm"));
        QVERIFY(table);
        const int posted = int(f.recorder.ids.size());
        emit f.mainFrame->displayPcTracePc(5, 10);
        QCOMPARE(f.system->getNbLecturesAsm(), 1);
        QCOMPARE(f.system->getNumAsmCharge(), 0);
        QTRY_COMPARE(table->cellText(0, 0), QStringLiteral("0"));
        QCOMPARE(table->cellText(5, 0), QStringLiteral("5"));
        QVERIFY(!table->cellText(5, 1).isEmpty());
        // Table events first, then the PC repaint and the column fit, in that order.
        const QList<int> ids = f.recorder.ids.mid(posted);
        QCOMPARE(ids.count(TableAsmSetPcEvent::Id), 100);
        QCOMPARE(ids.count(TableAsmSetMnemonicEvent::Id), 100);
        QCOMPARE(ids.mid(ids.size() - 2),
                 QList<int>({MainFrameRepaintTracePcEvent::Id, MainFrameAdjustAsm::Id}));

        emit f.mainFrame->displayPcTracePc(17, 12);
        emit f.mainFrame->displayPcTracePc(99, 12);
        QCOMPARE(f.system->getNbLecturesAsm(), 1);
        emit f.mainFrame->displayPcTracePc(150, 12);
        QCOMPARE(f.system->getNbLecturesAsm(), 2);
        QCOMPARE(f.system->getNumAsmCharge(), 100);
        QTRY_COMPARE(table->cellText(0, 0), QStringLiteral("100"));

        emit f.mainFrame->nbPcByAsmChanged(100);
        QTRY_COMPARE(table->cellText(50, 0), QStringLiteral("150"));
        QCOMPARE(f.system->getNbLecturesAsm(), 3);
        QCOMPARE(f.system->getNumAsmCharge(), 100);
        emit f.mainFrame->nbPcByAsmChanged(50);
        QCOMPARE(f.system->getNumAsmCharge(), -1);
        QVERIFY(f.alertes().isEmpty());
    }

    void pcRowsAndPcWindow()
    {
        ControllerFixture f;
        QVERIFY2(f.demarrer(1), qPrintable(f.error));
        QVERIFY(f.glisser(100) && f.glisser(200));
        emit f.mainFrame->displayPcTracePc(150, 210);
        const int h = f.mainFrame->getRowHeightTableAsm();
        QVERIFY(h > 0);
        // The k-th pc of the listing gets row y = k * h; every block of a pc sits on its row.
        const std::map<int, int> rows = f.system->getTabPositionPc();
        QCOMPARE(rows.size(), size_t(100));
        QCOMPARE(rows.begin()->first, 100);
        QCOMPARE(rows.at(150), 50 * h);
        auto onItsRow = [&](int pc, const GraphicBlock &b) {
            const auto row = rows.find(pc);
            return b.getPositionYTracePc() == (row == rows.end() ? -h : row->second) &&
                   b.getPositionXTracePc() == b.getCycle() * h;
        };
        QCOMPARE(f.blocFautif(true, onItsRow), QString());

        // The PC view now has a window of its own, taken from the cycle view's.
        QVERIFY(f.system->getTracePcSeparee());
        QCOMPARE(QList<int>({f.system->getNumTracePcPrecedente(), f.system->getNumTracePcCourante(),
                             f.system->getNumTracePcSuivante()}),
                 QList<int>({100, 200, 300}));

        // The PC view slides alone: file 400 is read for it only.
        int lus = f.lus();
        emit f.mainFrame->nextCycleTracePc(300);
        QVERIFY(f.attendre());
        QCOMPARE(f.lusDepuis(lus), f.noms({400}, 1));
        QCOMPARE(f.fichiersCycle(), QSet<int>({100, 200, 300}));
        // 100 stays: the cycle view still shows it.
        QCOMPARE(f.fichiersPc(), QSet<int>({100, 200, 300, 400}));
        QCOMPARE(f.system->getCycleMaxTracePc(), 499);
        QCOMPARE(f.blocFautif(true, onItsRow), QString());

        // Back into a file the cycle view holds: it is not read twice, and the PC view can
        // still reach the whole of its loaded next file.
        lus = f.lus();
        emit f.mainFrame->prevCycleTracePc(299);
        QVERIFY(f.attendre());
        QCOMPARE(f.lusDepuis(lus), QStringList());
        QCOMPARE(f.system->getNumTracePcCourante(), 200);
        QCOMPARE(QList<int>({f.system->getCycleMinTracePc(), f.system->getCycleMaxTracePc()}),
                 QList<int>({100, 399}));
        // 400 fell out of the PC view's window and the cycle view does not hold it.
        QCOMPARE(f.fichiersPc(), QSet<int>({100, 200, 300}));

        // The cycle view slides forward: file 100 leaves its window, but the PC view shows it.
        QVERIFY(f.glisser(300));
        QCOMPARE(f.fichiersCycle(), QSet<int>({200, 300, 400}));
        QVERIFY(f.fichiersPc().contains(100));
        QVERIFY(f.aucuneFuite());
        QVERIFY(f.alertes().isEmpty());

        // A start while the PC view reads a file of its own forgets the pc and its window.
        emit f.mainFrame->prevCycleTracePc(199);
        QVERIFY(f.system->chargementEnCours());
        lus = f.lus();
        QVERIFY2(f.demarrer(), qPrintable(f.error));
        QVERIFY(!f.system->getTracePcSeparee());
        QCOMPARE(f.system->getNumAsmCharge(), -1);
        QVERIFY(f.system->getTabPositionPc().empty());
        QCOMPARE(f.system->getNiveauZoom(), 10);
        QCOMPARE(f.system->getCycleCourantTraceCycle(), 0);
        QCOMPARE(f.lusDepuis(lus), f.noms({0, 100}, 10));
        QCOMPARE(f.fichiersCycle(), QSet<int>({0, 100}));
        QVERIFY(f.system->getGraphicTrace().getTabPc().empty());
        QVERIFY(f.aucuneFuite());
    }

    // A listing that could not be read is read again at the next request for one of its pcs.
    void failedAssemblyRetried_data()
    {
        QTest::addColumn<bool>("malformed"); // else missing
        QTest::newRow("missing") << false;
        QTest::newRow("not well-formed") << true;
    }

    void failedAssemblyRetried()
    {
        QFETCH(bool, malformed);
        ControllerFixture f;
        QVERIFY2(f.demarrer(1), qPrintable(f.error));
        const QString file = f.asmFile(100);
        QVERIFY(QFile::rename(file, file + QStringLiteral(".away")));
        QFile broken(file);
        if (malformed)
            QVERIFY(broken.open(QIODevice::WriteOnly) &&
                    broken.write("<asm><instruction><pc>100</pc><mnemonic>add</mnem") > 0);
        broken.close();
        emit f.mainFrame->displayPcTracePc(150, 20);
        QTRY_COMPARE(f.alertes().size(), 1);
        if (malformed)
            QVERIFY2(f.alertes().first().contains(file), qPrintable(f.alertes().first()));
        else
            QCOMPARE(f.alertes().first(), "File " + file + " doesn't exist");
        QCOMPARE(f.system->getNumAsmCharge(), -1);

        QFile::remove(file);
        QVERIFY(QFile::rename(file + QStringLiteral(".away"), file));
        const int lectures = f.system->getNbLecturesAsm();
        emit f.mainFrame->displayPcTracePc(160, 20);
        QCOMPARE(f.system->getNbLecturesAsm(), lectures + 1);
        QCOMPARE(f.system->getNumAsmCharge(), 100);
        QCoreApplication::processEvents();
        QCOMPARE(f.alertes().size(), 1);
    }
};

QTEST_MAIN(TestSystemNavigation)
#include "tst_systemNavigation.moc"
