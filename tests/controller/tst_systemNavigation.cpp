#include "controllerFixture.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/customEvents.h"
#include "gui/mainFrame.h"
#include "gui/tableAsm.h"
#include "gui/traceWidgetCycle.h"

#include <QFile>
#include <QScrollBar>
#include <QtTest>

// Sliding the windows of files, their edges and snap-backs, and choosing a pc: the assembly
// table, the rows of the PC view and the PC view's own window.
class TestSystemNavigation : public QObject
{
    Q_OBJECT

private slots:
    void slidingForwardAndBack();
    void blocksOfTheTrace();
    void snapBacks_data();
    void snapBacks();
    void notMultipleOfLevelIgnored();
    void slideWaitsForBusyNeighbour();
    void assemblyReadOnceForTwoPcs();
    void pcRowsAndPcWindow();
    void pcViewIgnoredAtZoomLevels();
    void missingAssemblyRetried_data();
    void missingAssemblyRetried();
    void tableRefilledAfterParametersOk();
};

namespace {

// Starts, zooms in to single cycles and waits.
bool niveau1(ControllerFixture &f)
{
    f.creer();
    emit f.mainFrame->demarrer();
    if (!f.attendre())
        return false;
    emit f.mainFrame->nextZoom();
    return f.attendre();
}

TraceWidgetCycle *vueCycle(ControllerFixture &f)
{
    return f.mainFrame->findChild<TraceWidgetCycle *>(QStringLiteral("traceWidgetCycle"));
}

QSet<int> fichiers(std::initializer_list<int> numeros)
{
    return QSet<int>(numeros);
}

} // namespace

void TestSystemNavigation::slidingForwardAndBack()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    QVERIFY(niveau1(f));
    QCOMPARE(f.fichiersCycle(), fichiers({0, 100}));

    struct Step
    {
        int v;
        QSet<int> files;
        QStringList read; // files read by this step
        int min, max;
        bool prev, next;
    };
    const QList<Step> steps = {
        {100, fichiers({0, 100, 200}), {f.traceName(200)}, 0, 299, true, true},
        {200, fichiers({100, 200, 300}), {f.traceName(300)}, 100, 399, true, true},
        {300, fichiers({200, 300, 400}), {f.traceName(400)}, 200, 499, true, true},
        // Last file: nothing to read after it; the previous one falls out.
        {400, fichiers({300, 400}), {}, 300, 499, true, false},
        {450, fichiers({300, 400}), {}, 300, 499, true, false},
        {399, fichiers({200, 300, 400}), {f.traceName(200)}, 200, 499, true, true},
        {299, fichiers({100, 200, 300}), {f.traceName(100)}, 100, 399, true, true},
        {199, fichiers({0, 100, 200}), {f.traceName(0)}, 0, 299, true, true},
        // First file: there is no file before it; the next one falls out.
        {99, fichiers({0, 100}), {}, 0, 199, false, true},
        {0, fichiers({0, 100}), {}, 0, 199, false, true},
    };
    for (const Step &step : steps) {
        const int lus = f.system->getFichiersLus().size();
        emit f.mainFrame->sliderHorizontalMovedTraceCycle(step.v);
        QVERIFY(f.attendre());
        const QByteArray where = "at cycle " + QByteArray::number(step.v);
        QVERIFY2(f.fichiersCycle() == step.files, where);
        // Until a pc is chosen the PC table follows the cycle view's window.
        QVERIFY2(f.fichiersPc() == step.files, where);
        QVERIFY2(f.system->getFichiersLus().mid(lus) == step.read, where);
        QVERIFY2(f.system->getCycleMinTraceCycle() == step.min, where);
        QVERIFY2(f.system->getCycleMaxTraceCycle() == step.max, where);
        QVERIFY2(f.system->getTracePrecedenteChargee() == step.prev, where);
        QVERIFY2(f.system->getTraceSuivanteChargee() == step.next, where);
        QVERIFY2(f.system->getCycleCourantTraceCycle() == step.v, where);
        // The blocks of dropped files are freed.
        QVERIFY2(GraphicBlock::liveCount() == f.blocsStore(), where);
    }
    QVERIFY(f.alertes().isEmpty());
}

void TestSystemNavigation::blocksOfTheTrace()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    QVERIFY(niveau1(f));
    const auto &tabConfig = f.system->getTabConfig();
    GraphicTrace &store = f.system->getGraphicTrace();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    int sansPc = 0;
    int avecPc = 0;
    for (const auto &entry : store.getTabCycle()) {
        for (GraphicElement *element : entry.second) {
            const auto *block = static_cast<GraphicBlock *>(element);
            QCOMPARE(block->getCycle(), entry.first);
            QCOMPARE(block->getPositionXTraceCycle(), entry.first * 20);
            QCOMPARE(block->getPositionYTraceCycle(),
                     tabConfig.at(block->getName()).getPosition() * 20);
            QCOMPARE(block->getBrush(), tabConfig.at(block->getName()).getBrush());
            if (block->getPc() < 0) {
                ++sansPc;
                // Shown only in the cycle view.
                QCOMPARE(block->getPositionXTracePc(), -1);
            } else {
                ++avecPc;
                const auto &list = store.getTabPc().at(block->getPc());
                QVERIFY(std::find(list.begin(), list.end(), element) != list.end());
                // No listing loaded: not placed in the PC view yet.
                QVERIFY(block->getPositionYTracePc() < 0);
            }
        }
    }
    QVERIFY(sansPc > 0);
    QVERIFY(avecPc > 0);
}

void TestSystemNavigation::snapBacks_data()
{
    QTest::addColumn<int>("start"); // accepted position first
    QTest::addColumn<int>("moved"); // then a move to this value
    QTest::addColumn<bool>("snapped");
    QTest::addColumn<int>("expected"); // the accepted position afterwards

    QTest::newRow("below the first loaded cycle") << 150 << -5 << true << 150;
    QTest::newRow("after the last loaded cycle") << 150 << 300 << true << 150;
    QTest::newRow("last loaded cycle") << 150 << 299 << false << 299;
    QTest::newRow("first loaded cycle") << 150 << 0 << false << 0;
}

void TestSystemNavigation::snapBacks()
{
    QFETCH(int, start);
    QFETCH(int, moved);
    QFETCH(bool, snapped);
    QFETCH(int, expected);
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    QVERIFY(niveau1(f));
    emit f.mainFrame->sliderHorizontalMovedTraceCycle(start);
    QVERIFY(f.attendre());

    emit f.mainFrame->sliderHorizontalMovedTraceCycle(moved);
    QVERIFY(f.attendre());
    QCOMPARE(f.system->getPositionSliderHorizontalTraceCycle(), expected);
    QCOMPARE(f.system->getCycleCourantTraceCycle(), expected);
    if (snapped)
        QCOMPARE(vueCycle(f)->getHorizontalScrollBar()->value(), start);

    // Releasing outside the bounds puts the slider back too.
    vueCycle(f)->getHorizontalScrollBar()->setValue(42);
    emit f.mainFrame->sliderHorizontalReleasedTraceCycle(100000);
    QCOMPARE(vueCycle(f)->getHorizontalScrollBar()->value(), expected);
}

void TestSystemNavigation::notMultipleOfLevelIgnored()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    emit f.mainFrame->demarrer();
    QVERIFY(f.attendre());
    emit f.mainFrame->sliderHorizontalMovedTraceCycle(30);
    QCOMPARE(f.system->getCycleCourantTraceCycle(), 30);
    emit f.mainFrame->sliderHorizontalMovedTraceCycle(37);
    QCOMPARE(f.system->getCycleCourantTraceCycle(), 30);
    QCOMPARE(f.system->getPositionSliderHorizontalTraceCycle(), 30);
    emit f.mainFrame->sliderHorizontalMovedTraceCycle(20);
    QCOMPARE(f.system->getCycleCourantTraceCycle(), 20);
}

void TestSystemNavigation::slideWaitsForBusyNeighbour()
{
    TraceGeneratorOptions options;
    options.nbCycleTotal = 60000;
    options.nbCycleParTrace = 20000;
    ControllerFixture f(options);
    QVERIFY2(f.ok(), qPrintable(f.error));
    QVERIFY(niveau1(f));

    // Into the next file: its read starts; moving on while it runs only repaints.
    emit f.mainFrame->sliderHorizontalMovedTraceCycle(20000);
    QVERIFY(f.system->chargementEnCours());
    const int lus = f.system->getFichiersLus().size();
    emit f.mainFrame->sliderHorizontalMovedTraceCycle(20010);
    emit f.mainFrame->nextCycleTraceCycle(20011);
    QCOMPARE(f.system->getFichiersLus().size(), lus);
    // A release while the neighbour is read puts the slider back at the last position.
    vueCycle(f)->getHorizontalScrollBar()->setValue(5);
    emit f.mainFrame->sliderHorizontalReleasedTraceCycle(20011);
    QCOMPARE(vueCycle(f)->getHorizontalScrollBar()->value(), 20011);
    QVERIFY(f.attendre(120000));
    QCOMPARE(f.fichiersCycle(), fichiers({0, 20000, 40000}));
    QCOMPARE(f.system->getFichiersLus().size(), lus);
}

void TestSystemNavigation::assemblyReadOnceForTwoPcs()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    QVERIFY(niveau1(f));
    auto *table = f.mainFrame->findChild<TableAsm *>(QStringLiteral("tableAsm"));
    QVERIFY(table);

    const int posted = f.recorder.ids.size();
    emit f.mainFrame->displayPcTracePc(5, 10);
    QCOMPARE(f.system->getNbLecturesAsm(), 1);
    QCOMPARE(f.system->getNumAsmCharge(), 0);
    QTRY_COMPARE(table->cellText(0, 0), QStringLiteral("0"));
    QCOMPARE(table->cellText(5, 0), QStringLiteral("5"));
    QVERIFY(!table->cellText(5, 1).isEmpty());
    // Table events first, then the PC repaint and the column fit, in that order.
    const QList<int> ids = f.recorder.ids.mid(posted);
    QVERIFY(ids.size() > 2 * 100);
    QCOMPARE(ids.mid(ids.size() - 2),
             QList<int>({MainFrameRepaintTracePcEvent::Id, MainFrameAdjustAsm::Id}));
    QCOMPARE(ids.count(TableAsmSetPcEvent::Id), 100);
    QCOMPARE(ids.count(TableAsmSetMnemonicEvent::Id), 100);

    emit f.mainFrame->displayPcTracePc(17, 12);
    emit f.mainFrame->displayPcTracePc(99, 12);
    QCOMPARE(f.system->getNbLecturesAsm(), 1);
    emit f.mainFrame->displayPcTracePc(150, 12);
    QCOMPARE(f.system->getNbLecturesAsm(), 2);
    QCOMPARE(f.system->getNumAsmCharge(), 100);
    QTRY_COMPARE(table->cellText(0, 0), QStringLiteral("100"));
    QVERIFY(f.alertes().isEmpty());
}

void TestSystemNavigation::pcRowsAndPcWindow()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    QVERIFY(niveau1(f));
    emit f.mainFrame->sliderHorizontalMovedTraceCycle(100);
    QVERIFY(f.attendre());
    emit f.mainFrame->sliderHorizontalMovedTraceCycle(200);
    QVERIFY(f.attendre());
    QCOMPARE(f.fichiersCycle(), fichiers({100, 200, 300}));

    emit f.mainFrame->displayPcTracePc(150, 210);
    const int h = f.mainFrame->getRowHeightTableAsm();
    QVERIFY(h > 0);
    // The k-th pc of the listing gets row y = k * h; every block of a pc sits on its row.
    const std::map<int, int> rows = f.system->getTabPositionPc();
    QCOMPARE(rows.size(), size_t(100));
    QCOMPARE(rows.begin()->first, 100);
    QCOMPARE(rows.at(150), 50 * h);
    {
        GraphicTrace &store = f.system->getGraphicTrace();
        std::lock_guard<std::recursive_mutex> lock(store.mutex());
        for (const auto &entry : store.getTabPc()) {
            for (GraphicElement *element : entry.second) {
                const auto *block = static_cast<GraphicBlock *>(element);
                const auto row = rows.find(entry.first);
                QCOMPARE(block->getPositionYTracePc(), row == rows.end() ? -h : row->second);
                QCOMPARE(block->getPositionXTracePc(), block->getCycle() * h);
            }
        }
    }

    // The PC view now has a window of its own, taken from the cycle view's.
    QVERIFY(f.system->getTracePcSeparee());
    QCOMPARE(f.system->getNumTracePcCourante(), 200);
    QCOMPARE(f.system->getNumTracePcPrecedente(), 100);
    QCOMPARE(f.system->getNumTracePcSuivante(), 300);

    // The PC view slides alone: file 400 is read for it only.
    int lus = f.system->getFichiersLus().size();
    emit f.mainFrame->nextCycleTracePc(300);
    QVERIFY(f.attendre());
    QCOMPARE(f.system->getFichiersLus().mid(lus), QStringList({f.traceName(400)}));
    QCOMPARE(f.fichiersCycle(), fichiers({100, 200, 300}));
    // 100 stays: the cycle view still shows it.
    QCOMPARE(f.fichiersPc(), fichiers({100, 200, 300, 400}));
    QCOMPARE(f.system->getCycleMaxTracePc(), 499);
    {
        GraphicTrace &store = f.system->getGraphicTrace();
        std::lock_guard<std::recursive_mutex> lock(store.mutex());
        for (const auto &entry : store.getTabPc()) {
            for (GraphicElement *element : entry.second) {
                const auto *block = static_cast<GraphicBlock *>(element);
                if (block->getCycle() >= 400)
                    QCOMPARE(block->getPositionXTracePc(), block->getCycle() * h);
            }
        }
    }

    // Back into a file the cycle view holds: it is not read twice, and the PC view can
    // still reach the whole of its loaded next file.
    lus = f.system->getFichiersLus().size();
    emit f.mainFrame->prevCycleTracePc(299);
    QVERIFY(f.attendre());
    QCOMPARE(f.system->getFichiersLus().mid(lus), QStringList());
    QCOMPARE(f.system->getNumTracePcCourante(), 200);
    QCOMPARE(f.system->getCycleMinTracePc(), 100);
    QCOMPARE(f.system->getCycleMaxTracePc(), 399);
    // 400 fell out of the PC view's window and the cycle view does not hold it.
    QCOMPARE(f.fichiersPc(), fichiers({100, 200, 300}));

    // The cycle view slides forward: file 100 leaves its window, but the PC view shows it.
    emit f.mainFrame->sliderHorizontalMovedTraceCycle(300);
    QVERIFY(f.attendre());
    QCOMPARE(f.fichiersCycle(), fichiers({200, 300, 400}));
    QVERIFY(f.fichiersPc().contains(100));
    QCOMPARE(GraphicBlock::liveCount(), f.blocsStore());
    QVERIFY(f.alertes().isEmpty());
}

void TestSystemNavigation::pcViewIgnoredAtZoomLevels()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    emit f.mainFrame->demarrer();
    QVERIFY(f.attendre());
    const int lus = f.system->getFichiersLus().size();
    emit f.mainFrame->nextCycleTracePc(150);
    emit f.mainFrame->sliderHorizontalMovedTracePc(150);
    QVERIFY(f.attendre());
    QCOMPARE(f.system->getFichiersLus().size(), lus);
    QCOMPARE(f.system->getCycleMaxTracePc(), 0);
}

void TestSystemNavigation::missingAssemblyRetried_data()
{
    QTest::addColumn<bool>("malformed"); // else missing
    QTest::newRow("missing") << false;
    QTest::newRow("not well-formed") << true;
}

void TestSystemNavigation::missingAssemblyRetried()
{
    QFETCH(bool, malformed);
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    QVERIFY(niveau1(f));
    const QString file = f.asmFile(100);
    QVERIFY(QFile::rename(file, file + QStringLiteral(".away")));
    if (malformed) {
        QFile broken(file);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("<asm><instruction><pc>100</pc><mnemonic>add</mnem");
    }

    emit f.mainFrame->displayPcTracePc(150, 20);
    QTRY_COMPARE(f.alertes().size(), 1);
    if (malformed)
        QVERIFY2(f.alertes().first().contains(file), qPrintable(f.alertes().first()));
    else
        QCOMPARE(f.alertes().first(), "File " + file + " doesn't exist");
    QCOMPARE(f.system->getNumAsmCharge(), -1);

    // The next request for a pc of that file reads it again.
    QFile::remove(file);
    QVERIFY(QFile::rename(file + QStringLiteral(".away"), file));
    const int lectures = f.system->getNbLecturesAsm();
    emit f.mainFrame->displayPcTracePc(160, 20);
    QCOMPARE(f.system->getNbLecturesAsm(), lectures + 1);
    QCOMPARE(f.system->getNumAsmCharge(), 100);
    QCoreApplication::processEvents();
    QCOMPARE(f.alertes().size(), 1);
}

void TestSystemNavigation::tableRefilledAfterParametersOk()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    QVERIFY(niveau1(f));
    auto *table = f.mainFrame->findChild<TableAsm *>(QStringLiteral("tableAsm"));
    emit f.mainFrame->displayPcTracePc(42, 20);
    QTRY_COMPARE(table->cellText(42, 0), QStringLiteral("42"));

    // OK in the parameters dialog sends every value again, and the table's rows are reset.
    emit f.mainFrame->nbPcByAsmChanged(100);
    QTRY_COMPARE(table->cellText(42, 0), QStringLiteral("42"));
    QCOMPARE(f.system->getNbLecturesAsm(), 2);
    QCOMPARE(f.system->getNumAsmCharge(), 0);

    // Cut differently, the listing is forgotten and read anew at the next request.
    emit f.mainFrame->nbPcByAsmChanged(50);
    QCOMPARE(f.system->getNumAsmCharge(), -1);
    QVERIFY(f.alertes().isEmpty());
}

QTEST_MAIN(TestSystemNavigation)
#include "tst_systemNavigation.moc"
