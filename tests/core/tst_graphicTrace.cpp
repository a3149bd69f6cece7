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

    // "cycle" drops a range of the cycle table (half-open): its keys are left. "pc" drops a range
    // of the PC table (both ends included) while the view shows the last two arguments' cycles:
    // the cycles of pc 4's blocks are left. "ecart" counts the pcs from the first argument to
    // the second.
    void operations_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QList<int>>("args");
        QTest::addColumn<QList<int>>("result");
        const auto row = [](const char *op, const char *name, QList<int> args, QList<int> left) {
            QTest::addRow("%s: %s", op, name) << QString::fromLatin1(op) << args << left;
        };
        const QList<int> keys = {-5, 5, 10, 15, 20, 25}, pc4 = {0, 50, 99, 99, 100, 150, 199, 200};
        row("cycle", "half-open", {10, 20}, {-5, 5, 20, 25});
        row("cycle", "bounds absent", {7, 21}, {-5, 5, 25});
        row("cycle", "negative keys", {-10, 6}, {10, 15, 20, 25});
        row("cycle", "everything", {INT_MIN, INT_MAX}, {});
        row("cycle", "fin == debut", {10, 10}, keys);
        row("cycle", "fin < debut", {20, 10}, keys);
        row("pc", "before the shown", {0, 99, 100, 199}, pc4.mid(4));
        row("pc", "after the shown", {200, 299, 100, 199}, pc4.mid(0, 7));
        row("pc", "one cycle", {99, 99, 100, 199}, {0, 50, 100, 150, 199, 200});
        row("pc", "inside", {150, 160, 100, 199}, pc4);
        row("pc", "straddling", {50, 150, 100, 199}, pc4);
        row("pc", "covering", {0, 300, 100, 199}, pc4);
        row("pc", "touching the first shown", {0, 100, 100, 199}, pc4);
        row("pc", "touching the last shown", {199, 250, 100, 199}, pc4);
        row("ecart", "both present", {4, 8}, {1});
        row("ecart", "equal", {8, 8}, {0});
        row("ecart", "to an empty entry", {4, 12}, {2});
        row("ecart", "pc1 absent", {5, 12}, {1});
        row("ecart", "pc2 absent, past an empty entry", {8, 13}, {2});
        row("ecart", "both absent, none between", {0, 3}, {0});
        row("ecart", "both absent, keys between", {INT_MIN, INT_MAX}, {0});
        row("ecart", "reversed", {12, 4}, {0});
    }

    void operations()
    {
        QFETCH(QString, op);
        QFETCH(QList<int>, args);
        QFETCH(QList<int>, result);
        GraphicTrace trace;
        for (int cycle : {-5, 5, 10, 15, 20, 25})
            trace.addElement(cycle, *newBlock(cycle));
        for (int cycle : {0, 50, 99, 99, 100, 150, 199, 200})
            trace.addElementTabPc(4, *newBlock(cycle, 4));
        // pc 8's block is in both tables and lives while either holds it; pc 12 has an empty
        // entry.
        GraphicBlock *shared = newBlock(15, 8);
        trace.addElement(15, *shared);
        trace.addElementTabPc(8, *shared);
        trace.updatePositionYTracePc(12, 0);
        if (op == QLatin1String("ecart")) {
            QCOMPARE(QList<int>{trace.calculerEcartPc(args[0], args[1])}, result);
            return;
        }
        if (op == QLatin1String("cycle")) {
            trace.deleteElementsTabCycle(args[0], args[1]);
            QCOMPARE(keys(trace.getTabCycle()), result);
        } else {
            trace.deleteElementsTabPc(args[0], args[1], args[2], args[3]);
            QCOMPARE(cycles(trace.getTabPc().at(4)), result);
            QCOMPARE(keys(trace.getTabPc()), QList<int>({4, 8, 12}));
        }
        const int others = op == QLatin1String("cycle") ? 9 : 7;
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, int(result.size()) + others);
    }

    // A block in both indexes lives until the second one lets go; a cycle's blocks added at
    // once come after those already there; a store handed over takes its blocks with it and
    // leaves an empty, usable store.
    void ownership()
    {
        GraphicTrace trace;
        GraphicBlock *both = newBlock(5, 4), *cycleOnly = newBlock(5);
        trace.addElement(5, *both);
        trace.addElementTabPc(4, *both);
        trace.addElements(5, {cycleOnly});
        trace.addElements(9, {});
        QCOMPARE(trace.getTabElementTabCycle(5), GraphicTrace::ElementList({both, cycleOnly}));
        QCOMPARE(keys(trace.getTabCycle()), QList<int>({5, 9}));
        trace.clearTabCycle();
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, 1);
        QCOMPARE(trace.getTabElementTabPc(4), GraphicTrace::ElementList({both}));
        QCOMPARE(trace.getTabElementTabPc(6), GraphicTrace::ElementList()); // an empty entry
        trace.deleteElementsTabPc(0, 9, 100, 199);
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, 0);

        trace.addElement(3, *newBlock(3));
        std::unique_ptr<GraphicTrace> taken = trace.takeAll();
        QVERIFY(trace.getTabCycle().empty() && trace.getTabPc().empty());
        QCOMPARE(keys(taken->getTabCycle()), QList<int>({3}));
        // pc 4 again: the store's shortcut to the list it handed over must be gone.
        trace.addElementTabPc(4, *newBlock(16, 4));
        taken.reset();
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, 1);
        trace.clear();
        QCOMPARE(GraphicBlock::liveCount() - liveBefore, 0);
    }

private:
    int liveBefore = 0;
};

QTEST_GUILESS_MAIN(TestGraphicTrace)
#include "tst_graphicTrace.moc"
