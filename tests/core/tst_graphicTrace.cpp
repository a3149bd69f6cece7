#include "core/graphicBlock.h"
#include "core/graphicTrace.h"

#include <QTest>

#include <climits>

namespace {

GraphicBlock *newBlock(int cycle, int pc = -1)
{
    auto *block = new GraphicBlock(QStringLiteral("execute"));
    block->setCycle(cycle);
    block->setPc(pc);
    return block;
}

QList<int> keys(const std::map<int, GraphicTrace::ElementList> &table)
{
    QList<int> result;
    for (const auto &entry : table)
        result << entry.first;
    return result;
}

QList<int> cycles(const GraphicTrace::ElementList &list)
{
    QList<int> result;
    for (GraphicElement *element : list)
        result << static_cast<GraphicBlock *>(element)->getCycle();
    return result;
}

} // namespace

class TestGraphicTrace : public QObject
{
    Q_OBJECT

private slots:
    // Every test must leave exactly the blocks it still holds itself.
    void init() { liveBefore = GraphicBlock::liveCount(); }
    void cleanup() { QCOMPARE(GraphicBlock::liveCount(), liveBefore); }

    void deleteElementsTabCycle_data()
    {
        QTest::addColumn<int>("debut");
        QTest::addColumn<int>("fin");
        QTest::addColumn<QList<int>>("left");
        QTest::newRow("half-open") << 10 << 20 << QList<int>({-5, 5, 20, 25});
        QTest::newRow("bounds absent") << 7 << 21 << QList<int>({-5, 5, 25});
        QTest::newRow("negative keys") << -10 << 6 << QList<int>({10, 15, 20, 25});
        QTest::newRow("everything") << INT_MIN << INT_MAX << QList<int>();
        QTest::newRow("fin == debut") << 10 << 10 << QList<int>({-5, 5, 10, 15, 20, 25});
        QTest::newRow("fin < debut") << 20 << 10 << QList<int>({-5, 5, 10, 15, 20, 25});
    }

    void deleteElementsTabCycle()
    {
        QFETCH(int, debut);
        QFETCH(int, fin);
        QFETCH(QList<int>, left);
        GraphicTrace trace;
        for (int cycle : {-5, 5, 10, 15, 20, 25}) {
            trace.addElement(cycle, *newBlock(cycle));
            trace.addElement(cycle, *newBlock(cycle));
        }
        trace.deleteElementsTabCycle(debut, fin);
        QCOMPARE(keys(trace.getTabCycle()), left);
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, 2 * int(left.size()));
    }

    // Arguments: the range to drop, then the cycles the PC view shows.
    void deleteElementsTabPc_data()
    {
        QTest::addColumn<QList<int>>("args");
        QTest::addColumn<QList<int>>("left");
        const QList<int> all = {0, 50, 99, 99, 100, 150, 199, 200};
        QTest::newRow("before the shown") << QList<int>({0, 99, 100, 199}) << all.mid(4);
        QTest::newRow("after the shown") << QList<int>({200, 299, 100, 199}) << all.mid(0, 7);
        QTest::newRow("one cycle")
            << QList<int>({99, 99, 100, 199}) << QList<int>({0, 50, 100, 150, 199, 200});
        QTest::newRow("inside") << QList<int>({150, 160, 100, 199}) << all;
        QTest::newRow("straddling") << QList<int>({50, 150, 100, 199}) << all;
        QTest::newRow("covering") << QList<int>({0, 300, 100, 199}) << all;
        QTest::newRow("touching the first shown") << QList<int>({0, 100, 100, 199}) << all;
        QTest::newRow("touching the last shown") << QList<int>({199, 250, 100, 199}) << all;
    }

    void deleteElementsTabPc()
    {
        QFETCH(QList<int>, args);
        QFETCH(QList<int>, left);
        GraphicTrace trace;
        for (int cycle : {0, 50, 99, 99, 100, 150, 199, 200})
            trace.addElementTabPc(4, *newBlock(cycle, 4));
        // pc 8's block is also in the cycle table; pc 12 has an empty entry.
        GraphicBlock *shared = newBlock(150, 8);
        trace.addElement(150, *shared);
        trace.addElementTabPc(8, *shared);
        trace.getTabElementTabPc(12);
        trace.deleteElementsTabPc(args[0], args[1], args[2], args[3]);
        QCOMPARE(cycles(trace.getTabPc().at(4)), left);
        QCOMPARE(keys(trace.getTabPc()), QList<int>({4, 8, 12}));
        QCOMPARE(trace.getTabElementTabCycle(150), GraphicTrace::ElementList({shared}));
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, int(left.size()) + 1);
    }

    void calculerEcartPc_data()
    {
        QTest::addColumn<int>("pc1");
        QTest::addColumn<int>("pc2");
        QTest::addColumn<int>("ecart");
        QTest::newRow("both present") << 4 << 12 << 2;
        QTest::newRow("equal") << 8 << 8 << 0;
        QTest::newRow("empty entry counts") << 4 << 16 << 3;
        QTest::newRow("pc1 absent") << 5 << 12 << 1;
        QTest::newRow("pc2 absent") << 4 << 10 << 2;
        QTest::newRow("both absent, none between") << 0 << 3 << 0;
        QTest::newRow("both absent, keys between") << INT_MIN << INT_MAX << 0;
        QTest::newRow("reversed") << 12 << 4 << 0;
    }

    void calculerEcartPc()
    {
        QFETCH(int, pc1);
        QFETCH(int, pc2);
        GraphicTrace trace;
        for (int pc : {4, 8, 12})
            trace.addElementTabPc(pc, *newBlock(0, pc));
        trace.updatePositionYTracePc(16, 0);
        QTEST(trace.calculerEcartPc(pc1, pc2), "ecart");
    }

    // A block in both indexes lives until the second one lets go; a cycle's blocks added at
    // once come after those already there; re-laying a pc's row moves its blocks only; a store
    // handed over takes its blocks with it and leaves an empty, usable store.
    void ownership()
    {
        GraphicTrace trace;
        GraphicBlock *both = newBlock(5, 4), *cycleOnly = newBlock(5), *other = newBlock(16, 8);
        both->setPositionTracePc(7, 0);
        trace.addElement(5, *both);
        trace.addElementTabPc(4, *both);
        trace.addElements(5, {cycleOnly});
        trace.addElements(9, {});
        trace.addElementTabPc(8, *other);
        trace.updatePositionYTracePc(4, 60);
        QCOMPARE(QList<qint64>({both->getPositionXTracePc(), both->getPositionYTracePc(),
                                other->getPositionYTracePc()}),
                 QList<qint64>({7, 60, -1}));
        QCOMPARE(trace.getTabElementTabCycle(5), GraphicTrace::ElementList({both, cycleOnly}));
        QCOMPARE(keys(trace.getTabCycle()), QList<int>({5, 9}));
        trace.clearTabCycle();
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, 2);
        QCOMPARE(trace.getTabElementTabPc(4), GraphicTrace::ElementList({both}));
        trace.deleteElementsTabPc(0, 9, 100, 199);
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, 1);

        trace.addElement(3, *newBlock(3));
        std::unique_ptr<GraphicTrace> taken = trace.takeAll();
        QVERIFY(trace.getTabCycle().empty() && trace.getTabPc().empty());
        QCOMPARE(keys(taken->getTabCycle()), QList<int>({3}));
        trace.addElementTabPc(8, *newBlock(16, 8));
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, 3);
        taken.reset();
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, 1);
        GraphicBlock neverAdded(QStringLiteral("stall"));
        trace.clear();
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, 1);
        QVERIFY(trace.getTabPc().empty() && trace.getTabCycle().empty());
    }

private:
    int liveBefore = 0;
};

QTEST_GUILESS_MAIN(TestGraphicTrace)
#include "tst_graphicTrace.moc"
