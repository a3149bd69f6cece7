#include "core/config.h"
#include "core/couleur.h"
#include "core/graphicBlock.h"
#include "core/graphicTrace.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTransform>

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

// The blocks, their palette and the store that holds them.
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
        row("cycle", "everything", {INT_MIN, INT_MAX}, {});
        row("cycle", "fin < debut", {20, 10}, keys);
        row("pc", "before the shown", {0, 99, 100, 199}, pc4.mid(4));
        row("pc", "after the shown", {200, 299, 100, 199}, pc4.mid(0, 7));
        row("pc", "one cycle", {99, 99, 100, 199}, {0, 50, 100, 150, 199, 200});
        row("pc", "straddling", {50, 150, 100, 199}, pc4);
        row("pc", "touching the first shown", {0, 100, 100, 199}, pc4);
        row("pc", "touching the last shown", {199, 250, 100, 199}, pc4);
        row("ecart", "both present", {4, 8}, {1});
        row("ecart", "pc1 absent", {5, 12}, {1});
        row("ecart", "pc2 absent, past an empty entry", {8, 13}, {2});
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

    // A block without a pc is not shown in the PC view; an event the configuration does not
    // declare gets no row and no brush. (The order and the positions of declared ones are the
    // configuration parser's test's.)
    void defaults()
    {
        const GraphicBlock block(QStringLiteral("commit"));
        const ConfigEvent undeclared = Config().getTabConfig()[QStringLiteral("squash")];
        QCOMPARE(
            QList<qint64>({block.getPc(), block.getPositionXTracePc(), undeclared.getPosition()}),
            QList<qint64>({-1, -1, -1}));
        QCOMPARE(undeclared.getBrush().style(), Qt::NoBrush);
    }

    // Blocks of one event share what looks the same; each still shows exactly its own brush.
    void brushes_data()
    {
        QTest::addColumn<QBrush>("first");
        QTest::addColumn<QBrush>("second");
        const QColor grey(10, 20, 30);
        QTest::newRow("colour") << QBrush(grey) << QBrush(QColor(10, 20, 31));
        QTest::newRow("style") << QBrush(grey) << QBrush(grey, Qt::CrossPattern);
        QTest::newRow("colour model")
            << QBrush(QColor::fromRgb(255, 0, 0)) << QBrush(QColor::fromHsv(0, 255, 255));
        QBrush turned(grey, Qt::HorPattern);
        turned.setTransform(QTransform().rotate(90));
        QTest::newRow("transform") << QBrush(grey, Qt::HorPattern) << turned;
    }

    void brushes()
    {
        QFETCH(QBrush, first);
        QFETCH(QBrush, second);
        GraphicBlock a(QStringLiteral("a")), b(QStringLiteral("a"));
        a.setBrush(first);
        b.setBrush(second);
        for (const auto &[block, given] : {std::pair(&a, first), std::pair(&b, second)}) {
            QCOMPARE(block->getBrush(), given);
            // QColor equality includes the colour model, which QBrush equality ignores.
            QCOMPARE(block->getBrush().color(), given.color());
            QCOMPARE(block->getBrush().transform(), given.transform());
        }
    }

    void drawing_data()
    {
        QTest::addColumn<bool>("byPc");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QPoint>("probe");
        QTest::addColumn<QColor>("expected");
        const QColor white(Qt::white), black(Qt::black), red(Qt::red), orange(255, 140, 0);
        for (bool pc : {false, true}) {
            auto row = [pc](const char *name, QPoint pos, QPoint probe, QColor colour,
                            bool selected = false) {
                QTest::addRow("%s: %s", pc ? "pc" : "cycle", name)
                    << pc << pos << selected << probe << colour;
            };
            row("x negative", {-1, 2}, {3, 5}, white);
            row("y negative", {2, -1}, {5, 3}, white);
            row("last column of r", {19, 0}, {23, 3}, red);
            row("beyond r", {20, 0}, {24, 3}, pc ? white : red);
            row("below r", {0, 20}, {4, 23}, pc ? white : red);
            row("highlighted", {10, 10}, {10, 13}, pc ? black : orange, true);
            row("highlight width", {10, 10}, {11, 13}, pc ? red : orange, true);
        }
    }

    // An 8 x 6 red block drawn for r = (0, 0, 20, 20) onto a larger device, so that whatever a
    // view passes on to the painter beyond r shows. (Blocks inside r are the views' pixel
    // parity test's.)
    void drawing()
    {
        QFETCH(bool, byPc);
        QFETCH(QPoint, position);
        QFETCH(bool, selected);
        GraphicBlock block(QStringLiteral("issue"), QBrush(Qt::red));
        block.setPositionTraceCycle(position.x(), position.y());
        block.setPositionTracePc(position.x(), position.y());
        block.setSizeTraceCycle(8, 6);
        block.setSizeTracePc(8, 6);
        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        if (byPc)
            block.drawItByPc(&painter, QRect(0, 0, 20, 20), selected);
        else
            block.drawItByCycle(&painter, QRect(0, 0, 20, 20), selected);
        QFETCH(QPoint, probe);
        QTEST(QColor(image.pixel(probe)), "expected");
    }

    void brushNumbering_data()
    {
        QTest::addColumn<int>("k");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<Qt::BrushStyle>("style");
        QTest::newRow("first") << 0 << QColor(0, 0, 255) << Qt::SolidPattern;
        QTest::newRow("after black") << 9 << QColor(47, 79, 79) << Qt::SolidPattern;
        QTest::newRow("second magenta") << 16 << QColor(255, 0, 255) << Qt::SolidPattern;
        QTest::newRow("last solid") << 25 << QColor(143, 188, 143) << Qt::SolidPattern;
        QTest::newRow("27th event") << 26 << QColor(0, 0, 255) << Qt::Dense1Pattern;
        QTest::newRow("third pattern") << 2 * 26 + 13 << QColor(165, 42, 42) << Qt::Dense2Pattern;
        QTest::newRow("last pattern")
            << 13 * 26 + 24 << QColor(240, 230, 140) << Qt::DiagCrossPattern;
        QTest::newRow("365th event starts over") << 364 << QColor(0, 0, 255) << Qt::SolidPattern;
        QTest::newRow("negative") << -1 << QColor(0, 0, 0) << Qt::NoBrush;
    }

    void brushNumbering()
    {
        QFETCH(int, k);
        const QBrush brush = Couleur().brush(k);
        QTEST(brush.style(), "style");
        QTEST(brush.color(), "colour");
    }

private:
    int liveBefore = 0;
};

QTEST_MAIN(TestGraphicTrace)
#include "tst_graphicTrace.moc"
