#include "core/graphicBlock.h"
#include "core/graphicTrace.h"

#include <QTest>

#include <atomic>
#include <climits>
#include <thread>

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
    void init() { liveBefore = GraphicBlock::liveCount(); }
    void cleanup() { QCOMPARE(GraphicBlock::liveCount(), liveBefore); }

    void blockStaysCompact() { QVERIFY(sizeof(GraphicBlock) <= 80); }

    void readsAddKeysAndKeepOrder()
    {
        GraphicTrace trace;
        GraphicBlock *a = newBlock(3), *b = newBlock(3);
        trace.addElement(3, *a);
        trace.addCycle(3);
        trace.addElement(3, *b);
        trace.addCycle(1);
        QCOMPARE(trace.getTabElementTabCycle(3), GraphicTrace::ElementList({a, b}));
        QVERIFY(trace.getTabElementTabCycle(2).empty());
        QCOMPARE(keys(trace.getTabCycle()), QList<int>({1, 2, 3}));
        QCOMPARE(trace.getSizeTabCycle(), 3);
        QVERIFY(trace.getTabElementTabPc(40).empty());
        QCOMPARE(keys(trace.getTabPc()), QList<int>({40}));
    }

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
        QTest::newRow("beyond the keys") << 26 << 100 << QList<int>({-5, 5, 10, 15, 20, 25});
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

    void deleteElementsTabPc_data()
    {
        QTest::addColumn<QList<int>>("args");
        QTest::addColumn<QList<int>>("left");
        const QList<int> all = {0, 50, 99, 99, 100, 150, 199, 200, 250};
        QTest::newRow("before the shown cycles")
            << QList<int>({0, 99, 100, 199}) << QList<int>({100, 150, 199, 200, 250});
        QTest::newRow("after the shown cycles")
            << QList<int>({200, 299, 100, 199}) << QList<int>({0, 50, 99, 99, 100, 150, 199});
        QTest::newRow("inside") << QList<int>({150, 160, 100, 199}) << all;
        QTest::newRow("straddling") << QList<int>({50, 150, 100, 199}) << all;
        QTest::newRow("covering") << QList<int>({0, 300, 100, 199}) << all;
        QTest::newRow("touching the first shown") << QList<int>({0, 100, 100, 199}) << all;
        QTest::newRow("touching the last shown") << QList<int>({199, 250, 100, 199}) << all;
        QTest::newRow("one cycle")
            << QList<int>({99, 99, 100, 199}) << QList<int>({0, 50, 100, 150, 199, 200, 250});
    }

    void deleteElementsTabPc()
    {
        QFETCH(QList<int>, args);
        QFETCH(QList<int>, left);
        GraphicTrace trace;
        // pc 4 holds every block in cycle order, the two blocks of cycle 99 side by side;
        // pc 8 shares the block of cycle 150 with the cycle table.
        for (int cycle : {0, 50, 99, 99, 100, 150, 199, 200, 250})
            trace.addElementTabPc(4, *newBlock(cycle, 4));
        GraphicBlock *shared = newBlock(150, 8);
        trace.addElement(150, *shared);
        trace.addElementTabPc(8, *shared);
        trace.getTabPc()[12];
        trace.deleteElementsTabPc(args[0], args[1], args[2], args[3]);
        QCOMPARE(cycles(trace.getTabElementTabPc(4)), left);
        QCOMPARE(keys(trace.getTabPc()), QList<int>({4, 8, 12}));
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, int(left.size()) + 1);
        QCOMPARE(trace.getTabElementTabCycle(150), GraphicTrace::ElementList({shared}));
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
        QTest::newRow("both absent") << 0 << 3 << 0;
        QTest::newRow("pc2 past the end") << 4 << INT_MAX << 4;
        QTest::newRow("whole range") << INT_MIN << INT_MAX << 4;
        QTest::newRow("reversed") << 12 << 4 << 0;
    }

    void calculerEcartPc()
    {
        QFETCH(int, pc1);
        QFETCH(int, pc2);
        QFETCH(int, ecart);
        GraphicTrace trace;
        for (int pc : {4, 8, 12})
            trace.addElementTabPc(pc, *newBlock(0, pc));
        trace.updatePositionYTracePc(16, 0);
        QCOMPARE(trace.calculerEcartPc(pc1, pc2), ecart);
    }

    void updatePositionYTracePc()
    {
        GraphicTrace trace;
        GraphicBlock *moved[3] = {newBlock(1, 4), newBlock(2, 4), newBlock(3, 4)};
        GraphicBlock *other = newBlock(1, 8);
        for (GraphicBlock *block : moved) {
            block->setPositionTraceCycle(7, 9);
            trace.addElementTabPc(4, *block);
        }
        other->setPositionTracePc(1, 5);
        trace.addElementTabPc(8, *other);
        trace.updatePositionYTracePc(4, 60);
        for (GraphicBlock *block : moved) {
            QCOMPARE(block->getPositionYTracePc(), 60);
            QCOMPARE(block->getPositionYTraceCycle(), 9);
        }
        QCOMPARE(other->getPositionYTracePc(), 5);
    }

    // A block in both indexes lives until the second one lets go, whichever goes first.
    void blocksAreReclaimed()
    {
        GraphicTrace trace;
        GraphicBlock *both = newBlock(5, 4), *cycleOnly = newBlock(5), *pcOnly = newBlock(6, 4);
        trace.addElement(5, *both);
        trace.addElementTabPc(4, *both);
        trace.addElement(5, *cycleOnly);
        trace.addElementTabPc(4, *pcOnly);
        trace.clearTabCycle();
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, 2);
        QCOMPARE(trace.getTabElementTabPc(4), GraphicTrace::ElementList({both, pcOnly}));
        trace.deleteElementsTabPc(0, 9, 100, 199);
        QCOMPARE(GraphicBlock::liveCount(), liveBefore);

        GraphicBlock kept(QStringLiteral("never added"));
        {
            GraphicTrace scoped;
            scoped.addElement(1, *newBlock(1, 2));
            scoped.addElementTabPc(2, *newBlock(1, 2));
        }
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, 1);
    }

    // Sliding a three-file window forward and back, as the controller does, then clearing,
    // leaves no block behind.
    void slidingWindowLeavesNothing()
    {
        const int nb = 10;
        GraphicTrace trace;
        auto load = [&](int first) {
            for (int cycle = first; cycle < first + nb; ++cycle) {
                GraphicBlock *block = newBlock(cycle, cycle % 3);
                trace.addElement(cycle, *block);
                trace.addElementTabPc(cycle % 3, *block);
            }
        };
        auto drop = [&](int first) {
            trace.deleteElementsTabCycle(first, first + nb);
            trace.deleteElementsTabPc(first, first + nb - 1, INT_MAX - 1, INT_MAX);
        };
        load(0), load(10), load(20);
        for (int first = 30; first < 200; first += nb)
            drop(first - 3 * nb), load(first);
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, 3 * nb);
        for (int first = 160; first >= 0; first -= nb)
            drop(first + 3 * nb), load(first);
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, 3 * nb);
        QCOMPARE(keys(trace.getTabCycle()).first(), 0);
        trace.clear();
        QCOMPARE(GraphicBlock::liveCount(), liveBefore);
        QVERIFY(trace.getTabPc().empty());
    }

    // A parser thread adds, another thread drops and clears, readers walk the indexes under
    // the lock and look into every block (a freed one shows under the sanitizers).
    void concurrentAccess()
    {
        GraphicTrace trace;
        std::atomic<bool> done{false};
        std::atomic<int> badReads{0};
        std::thread writer([&] {
            for (int cycle = 0; cycle < 20000; ++cycle) {
                GraphicBlock *block = newBlock(cycle, cycle % 17);
                std::lock_guard<std::recursive_mutex> lock(trace.mutex());
                trace.addCycle(cycle);
                trace.addElement(cycle, *block);
                trace.addElementTabPc(cycle % 17, *block);
            }
            done = true;
        });
        std::thread dropper([&] {
            for (int round = 0; !done; ++round) {
                const int upTo = round * 10;
                trace.deleteElementsTabCycle(0, upTo);
                trace.deleteElementsTabPc(0, upTo, INT_MAX - 1, INT_MAX);
                if (round % 100 == 99)
                    trace.clear();
                std::this_thread::yield();
            }
        });
        auto reader = [&] {
            while (!done) {
                std::lock_guard<std::recursive_mutex> lock(trace.mutex());
                for (const auto &entry : trace.getTabCycle()) {
                    for (GraphicElement *element : entry.second) {
                        if (static_cast<GraphicBlock *>(element)->getCycle() != entry.first)
                            ++badReads;
                    }
                }
                for (const auto &entry : trace.getTabPc()) {
                    for (GraphicElement *element : entry.second) {
                        if (static_cast<GraphicBlock *>(element)->getPc() != entry.first)
                            ++badReads;
                    }
                }
                if (trace.calculerEcartPc(0, 17) > 17)
                    ++badReads;
            }
        };
        std::thread reader1(reader), reader2(reader);
        writer.join(), dropper.join(), reader1.join(), reader2.join();
        QCOMPARE(badReads.load(), 0);
        trace.clear();
        QCOMPARE(GraphicBlock::liveCount(), liveBefore);
    }

private:
    int liveBefore = 0;
};

QTEST_GUILESS_MAIN(TestGraphicTrace)
#include "tst_graphicTrace.moc"
