#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/graphicBlockWidget.h"
#include "gui/popupInfo.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <climits>
#include <map>
#include <mutex>
#include <thread>

namespace {

// Events "commit", "decode", "execute", "fetch" on rows 0..3 in red, green, blue, black.
const QStringList names{"commit", "decode", "execute", "fetch"};
const QList<QColor> colours{Qt::red, Qt::green, Qt::blue, Qt::black};

QColor colourOf(const QString &event)
{
    return colours.value(names.indexOf(event), Qt::gray);
}

// A block as the controller adds it: 10 x 10 in the cycle view at (cycle * 10, row * 10),
// 12 x 12 in the PC view at (cycle * 12, pcRowY); pcRowY < 0 keeps it out of the pc index.
void addTraceBlock(GraphicTrace &trace, const QString &event, int cycle, int pc, int pcRowY)
{
    auto *block = new GraphicBlock(event);
    block->setBrush(QBrush(colourOf(event)));
    block->setPositionTraceCycle(qint64(cycle) * 10, names.indexOf(event) * 10);
    block->setSizeTraceCycle(10, 10);
    block->setSizeTracePc(12, 12);
    block->setPc(pc);
    block->setCycle(cycle);
    block->setPositionTracePc(qint64(cycle) * 12, pcRowY);
    std::lock_guard<std::recursive_mutex> lock(trace.mutex());
    trace.addElement(cycle, *block);
    if (pcRowY >= 0)
        trace.addElementTabPc(pc, *block);
}

} // namespace

// Both views alone, 300 x 200 (a surface of 283 x 163 at (0, 20)), on a store filled by hand,
// for what the whole viewer does not reach: any total, a billion cycles, a parser thread
// filling the store meanwhile, the PC view's bounds, narrow columns. The cycle view has blocks of
// 10 x 10 (29 columns, 17 rows); the PC view rows of 12 pixels, pcs 100, 104, 108, 112 at y
// 0, 12, 24, 36, 26 columns, blocks: decode of 104 at cycles 3 and 4, commit of 108 at 3,
// execute of 112 at 5.
class TestTraceViews : public QObject
{
    Q_OBJECT

    std::unique_ptr<GraphicTrace> trace;
    std::unique_ptr<TraceWidgetCycle> cycle;
    std::unique_ptr<TraceWidgetPc> pc;

private slots:
    void init()
    {
        trace = std::make_unique<GraphicTrace>();
        cycle = std::make_unique<TraceWidgetCycle>(nullptr, "cycle");
        pc = std::make_unique<TraceWidgetPc>(nullptr, "pc");
        for (TraceWidget *view :
             {static_cast<TraceWidget *>(cycle.get()), static_cast<TraceWidget *>(pc.get())}) {
            view->resize(300, 200);
            view->updateNewSize();
            view->show();
            view->setLargeurBlock(view == pc.get() ? 12 : 10);
            view->setHauteurBlock(view == pc.get() ? 12 : 10);
            view->setNbCycleTotal(100);
            view->setGraphicTrace(*trace);
            QVERIFY(QTest::qWaitForWindowExposed(view));
        }
        cycle->setNbConfigEvent(4);
        cycle->setNiveauZoom(1);
        cycle->setNbBlockHorizontalToPaint(29);
        cycle->setNbBlockVerticalToPaint(17);
        cycle->initScrollBar();
        pc->setNbBlockHorizontalToPaint(26);
        pc->initHorizontalScrollBar();
        pc->initVerticalScrollBar(0, 400, 12, 120);
        pc->setTabPositionPc({{100, 0}, {104, 12}, {108, 24}, {112, 36}});
        addTraceBlock(*trace, "decode", 3, 104, 12);
        addTraceBlock(*trace, "decode", 4, 104, 12);
        addTraceBlock(*trace, "commit", 3, 108, 24);
        addTraceBlock(*trace, "execute", 5, 112, 36);
        std::lock_guard<std::recursive_mutex> lock(trace->mutex());
        trace->updatePositionYTracePc(100, 0);
    }
    void cleanup()
    {
        cycle.reset();
        pc.reset();
        trace.reset();
    }

    void anyTotalLeavesTheBarsInRange()
    {
        // Any total may come from the parameters: one far below 0 leaves the bars no room.
        cycle->setNbCycleTotal(INT_MIN);
        cycle->initScrollBar();
        pc->setNbCycleTotal(INT_MIN);
        pc->initHorizontalScrollBar();
        QCOMPARE(cycle->getHorizontalScrollBar()->maximum(), 0);
        QCOMPARE(pc->getHorizontalScrollBar()->maximum(), 0);
    }

    // 10^10 pixels from the trace's start, past int: the block is still drawn in its place.
    void aBillionCyclesOn()
    {
        const int debut = 1000000000;
        cycle->setNbCycleTotal(debut + 100);
        cycle->initScrollBar();
        addTraceBlock(*trace, "execute", debut + 3, 4, -1);
        cycle->repaintHorizontalSliderMoved(debut, true);
        QCOMPARE(cycle->getHorizontalScrollBar()->value(), debut);
        const QImage image = cycle->grab(cycle->getGraphicBlockWidget()->geometry()).toImage();
        QCOMPARE(image.pixelColor(32, 25), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(29, 25), QColor(Qt::white));
    }

    void pcViewPaintsItsBounds_data()
    {
        QTest::addColumn<int>("horizontal");
        QTest::addColumn<int>("vertical");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("drawn"); // pcs whose block shows
        QTest::newRow("whole listing") << 0 << 0 << 100 << 112 << "108 112";
        QTest::newRow("three cycles on") << 3 << 0 << 100 << 112 << "108 112";
        QTest::newRow("ten pixels down") << 0 << 10 << 100 << 112 << "108 112";
        QTest::newRow("last excludes 112") << 0 << 0 << 100 << 108 << "108";
        QTest::newRow("first pc never run") << 0 << 0 << 102 << 112 << "108 112";
        QTest::newRow("last below first") << 0 << 0 << 112 << 100 << "";
        QTest::newRow("nothing loaded yet") << 0 << 0 << -1 << -1 << "";
    }
    void pcViewPaintsItsBounds()
    {
        QFETCH(int, horizontal);
        QFETCH(int, vertical);
        QFETCH(int, first);
        QFETCH(int, last);
        pc->setNumFirstPcToPaint(first);
        pc->setNumLastPcToPaint(last);
        pc->updateScrollBarValue(vertical, horizontal);
        QCOMPARE(pc->getHorizontalScrollBar()->value(), horizontal);
        const QImage image = pc->grab(pc->getGraphicBlockWidget()->geometry()).toImage();
        QStringList shown; // commit of 108 at cycle 3, execute of 112 at 5: inside, top outline
        for (auto [p, c, event] : {std::tuple(108, 3, "commit"), std::tuple(112, 5, "execute")}) {
            const int x = (c - horizontal) * 12 + 6;
            const int top = (p - 100) * 3 - vertical;
            if (image.pixelColor(x, top + 6) == colourOf(QString::fromLatin1(event))) {
                QCOMPARE(image.pixelColor(x, top), QColor(Qt::black));
                shown << QString::number(p);
            }
        }
        QTEST(shown.join(QLatin1Char(' ')), "drawn");
    }

    // With columns as wide as the table's rows make them, two-digit labels would touch: those
    // written stand at least a space apart.
    void stripLabelsStandApart()
    {
        pc->setLargeurBlock(18);
        pc->repaintHorizontalSliderMoved(10, true);
        const QImage strip =
            pc->grab(QRect(0, 0, pc->getGraphicBlockWidget()->width(), 16)).toImage();
        // A tick under each label's start (digits do not reach y 14), its text to the right.
        QList<int> gaps;
        int lastInk = -1;
        for (int x = 0; x < strip.width(); ++x) {
            if (strip.pixelColor(x, 14).lightness() < 128 && lastInk >= 0)
                gaps << x - lastInk - 1;
            for (int y = 0; y < 11; ++y)
                lastInk = strip.pixelColor(x, y).lightness() < 128 ? x : lastInk;
        }
        QVERIFY(gaps.size() >= 5);
        const int space = pc->fontMetrics().horizontalAdvance(QLatin1Char(' '));
        for (int gap : std::as_const(gaps))
            QVERIFY2(gap >= space, qPrintable(QString::number(gap)));
    }

    // A parser thread adds blocks, drops cycles and hands the store over while the view
    // paints and answers presses (run under ThreadSanitizer too).
    void parserThreadFillsTheStoreMeanwhile()
    {
        GraphicTrace other;
        std::atomic<bool> done{false};
        std::thread parser([&] {
            for (int i = 0; i < 3000; ++i) {
                addTraceBlock(*trace, "fetch", i % 40, 4096, -1);
                if (i % 100 == 99)
                    trace->deleteElementsTabCycle(0, 20);
                cycle->setGraphicTrace(i % 7 ? *trace : other);
            }
            cycle->setGraphicTrace(*trace);
            done = true;
        });
        while (!done) {
            cycle->repaint();
            QTest::mousePress(cycle->getGraphicBlockWidget(), Qt::RightButton, {}, QPoint(255, 35));
        }
        parser.join();
        cycle->repaint();
        QCOMPARE(
            cycle->grab(cycle->getGraphicBlockWidget()->geometry()).toImage().pixelColor(255, 35),
            colourOf(QStringLiteral("fetch")));
    }
};

QTEST_MAIN(TestTraceViews)
#include "tst_traceViews.moc"
