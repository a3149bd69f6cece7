#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/graphicBlockWidget.h"
#include "gui/tableAsm.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"

#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <climits>
#include <mutex>
#include <random>
#include <thread>

namespace {

// Events "commit", "decode", "execute", "fetch" on rows 0..3 in red, green, blue, black.
const QStringList names{"commit", "decode", "execute", "fetch"};
const QList<QColor> colours{Qt::red, Qt::green, Qt::blue, Qt::black};

// A block as the controller adds it: 10 x 10 in the cycle view at (cycle * 10, row * 10),
// 12 x 12 in the PC view at (cycle * 12, pcRowY); pcRowY < 0 keeps it out of the pc index.
void addTraceBlock(GraphicTrace &trace, const QString &event, int cycle, int pc, int pcRowY)
{
    auto *block = new GraphicBlock(event);
    block->setBrush(QBrush(colours[names.indexOf(event)]));
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

struct Layout
{
    int columns = 30;       // cycles, one column each
    int fill = 80;          // percentage of cells holding a block
    int twice = 0;          // percentage of filled cells holding a second block
    bool patterns = false;  // some pattern brushes and some without a brush
    int highlightPc = -1;   // cycle view: blocks of this pc are outlined
    bool uneven = false;    // some blocks of another size, off the grid
    bool backwards = false; // some blocks placed left of the ones before them
    int scrollColumns = 0;
    int scrollRows = 0;
};

constexpr int rows = 12; // events (cycle view) or pcs (PC view) of a layout

// Per cycle, blocks in file order, 10 x 10 on a grid of 10 pixels in both views; both indexes.
void fill(GraphicTrace &store, const Layout &layout)
{
    std::mt19937 random(7);
    const auto percent = [&random](int p) { return int(random() % 100) < p; };
    for (int cycle = 0; cycle < layout.columns; ++cycle) {
        store.addCycle(cycle);
        for (int row = 0; row < rows; ++row) {
            for (int copy = percent(layout.fill) ? (percent(layout.twice) ? 2 : 1) : 0; copy > 0;
                 --copy) {
                auto *block = new GraphicBlock(QStringLiteral("e%1").arg(row));
                const int variant = int(random() % 3);
                const QColor colour = QColor::fromHsv((row * 37 + variant * 90) % 360, 200, 220);
                block->setBrush(!layout.patterns || variant == 0 ? QBrush(colour)
                                : variant == 1                   ? QBrush(colour, Qt::Dense5Pattern)
                                                                 : QBrush());
                block->setPc(int(random() % 5));
                block->setCycle(cycle);
                const int off = layout.uneven && percent(15) ? 1 : 0;
                const int x = (layout.backwards && percent(10) ? cycle - 2 : cycle) * 10 + off * 3;
                block->setPositionTraceCycle(x, row * 10 + off * 4);
                block->setSizeTraceCycle(10 + off * 5, 10);
                block->setPositionTracePc(x, row * 10 + off * 4);
                block->setSizeTracePc(10 + off * 5, 10);
                store.addElement(cycle, *block);
                store.addElementTabPc(row, *block);
            }
        }
    }
}

} // namespace

Q_DECLARE_METATYPE(Layout)

// Both views and the listing alone, 300 x 200, the views' surfaces 283 x 163 at (0, 20) on a
// store filled by hand, for what the whole viewer does not reach.
// The cycle view has blocks of 10 x 10 (29 columns, 17 rows); the PC view 26 columns and rows of
// 12 pixels, pcs 104, 108, 112 at y 12, 24, 36. Blocks: decode of 104 at cycles 3 and 4, commit
// of 108 at 3, execute of 112 at 5. The listing has 5 rows: pcs 100, 104, 108 with a mnemonic
// and three operands, row 3 a mnemonic but no pc, row 4 a pc that is not a number; row 1 is
// highlighted.
class TestTraceViews : public QObject
{
    Q_OBJECT

    std::unique_ptr<GraphicTrace> trace;
    std::unique_ptr<TraceWidgetCycle> cycle;
    std::unique_ptr<TraceWidgetPc> pc;
    std::unique_ptr<TableAsm> table;

private slots:
    void init()
    {
        trace = std::make_unique<GraphicTrace>();
        cycle = std::make_unique<TraceWidgetCycle>(nullptr, "cycle");
        pc = std::make_unique<TraceWidgetPc>(nullptr, "pc");
        table = std::make_unique<TableAsm>(nullptr, "tableAsm");
        for (QWidget *widget : QWidgetList{table.get(), cycle.get(), pc.get()}) {
            widget->resize(300, 200);
            widget->show();
            QVERIFY(QTest::qWaitForWindowExposed(widget));
        }
        for (TraceWidget *view : QList<TraceWidget *>{cycle.get(), pc.get()}) {
            view->updateNewSize();
            view->setLargeurBlock(view == pc.get() ? 12 : 10);
            view->setHauteurBlock(view == pc.get() ? 12 : 10);
            view->setNbCycleTotal(100);
            view->setGraphicTrace(*trace);
        }
        cycle->setNbConfigEvent(4);
        cycle->setNiveauZoom(1);
        cycle->setNbBlockHorizontalToPaint(29);
        cycle->setNbBlockVerticalToPaint(17);
        cycle->initScrollBar();
        pc->setNbBlockHorizontalToPaint(26);
        pc->initHorizontalScrollBar();
        pc->initVerticalScrollBar(0, 400, 12, 120);
        addTraceBlock(*trace, "decode", 3, 104, 12);
        addTraceBlock(*trace, "decode", 4, 104, 12);
        addTraceBlock(*trace, "commit", 3, 108, 24);
        addTraceBlock(*trace, "execute", 5, 112, 36);
        table->setNbRows(5);
        for (int row = 0; row < 3; ++row) {
            table->setPc(row, QString::number(100 + 4 * row));
            table->setMnemonic(row, QStringLiteral("addi"));
            for (int operand = 0; operand < 3; ++operand)
                table->setValue(row, operand, QStringLiteral("r%1").arg(operand));
        }
        table->setMnemonic(3, QStringLiteral("nop"));
        table->setPc(4, QStringLiteral("0x40"));
        table->selectionnerPc(1, 0);
    }
    void cleanup()
    {
        cycle.reset();
        pc.reset();
        table.reset();
        trace.reset();
    }

    // The views paint their blocks in batches; the pixels must be those of drawing every block
    // in list order with drawItByCycle / drawItByPc, then the highlights' outlines over them
    // all, whatever the layout.
    void sameAsOneByOne_data()
    {
        QTest::addColumn<bool>("pcView");
        QTest::addColumn<Layout>("layout");
        // columns, fill, twice, patterns, highlight, uneven, backwards, scrolled by
        const QList<std::pair<const char *, Layout>> layouts{
            {"grid", {}},
            {"every cell", {30, 100}},
            {"two blocks in a cell", {30, 80, 30}},
            {"patterns and no brush", {30, 80, 0, true}},
            {"scrolled", {30, 80, 0, true, -1, false, false, 7, 3}},
            {"off the grid", {30, 80, 30, false, -1, true}},
            {"far wider than the view", {90, 80, 0, false, -1, false, false, 25}},
            {"highlights", {30, 80, 30, false, 2}},
            {"adjacent highlights", {30, 100, 50, false, 0}},
            {"highlights, blocks out of order", {30, 80, 30, false, 2, false, true}},
            {"highlights, scrolled", {30, 80, 30, false, 2, false, false, 4, 2}}};
        for (bool pc : {false, true})
            for (const auto &[name, layout] : layouts)
                if (!pc || layout.highlightPc < 0)
                    QTest::addRow("%s: %s", pc ? "pc" : "cycle", name) << pc << layout;
    }
    void sameAsOneByOne()
    {
        QFETCH(bool, pcView);
        QFETCH(Layout, layout);
        fill(*trace, layout);
        pc->setNumFirstPcToPaint(0);
        pc->setNumLastPcToPaint(rows - 1);
        pc->repaintHorizontalSliderMoved(layout.scrollColumns, false);
        pc->repaintVerticalSliderMoved(layout.scrollRows * 10);
        cycle->displayPcTraceCycle(layout.highlightPc);
        cycle->repaintHorizontalSliderMoved(layout.scrollColumns, false);
        cycle->repaintVerticalSliderMoved(layout.scrollRows);
        TraceWidget *view = pcView ? static_cast<TraceWidget *>(pc.get()) : cycle.get();
        const QImage painted = view->grab(view->getGraphicBlockWidget()->geometry())
                                   .toImage()
                                   .convertToFormat(QImage::Format_RGB32);

        QImage expected(painted.size(), QImage::Format_RGB32);
        expected.fill(Qt::white);
        QPainter painter(&expected);
        const QRect r(layout.scrollColumns * (pcView ? 12 : 10), layout.scrollRows * 10,
                      painted.width(), painted.height());
        std::lock_guard<std::recursive_mutex> lock(trace->mutex());
        for (auto entry = trace->getTabPc().begin(); pcView && entry->first < rows; ++entry)
            for (GraphicElement *element : entry->second)
                static_cast<const GraphicBlock *>(element)->drawItByPc(&painter, r, false);
        for (bool highlights : {false, true}) {
            auto entry = trace->getTabCycle().lower_bound(layout.scrollColumns);
            for (int c = 0; !pcView && c < 29 && entry != trace->getTabCycle().end();
                 ++c, ++entry) {
                for (GraphicElement *element : entry->second) {
                    const auto *block = static_cast<const GraphicBlock *>(element);
                    if (!highlights) {
                        block->drawItByCycle(&painter, r, false);
                    } else if (block->getPc() == layout.highlightPc) {
                        painter.setPen(GraphicBlock::penSelection());
                        painter.setBrush(Qt::NoBrush);
                        painter.drawRect(int(block->getPositionXTraceCycle() - r.left()),
                                         block->getPositionYTraceCycle() - r.top(),
                                         block->getLargeurBlockTraceCycle(),
                                         block->getHauteurBlockTraceCycle());
                    }
                }
            }
        }
        painter.end();
        QCOMPARE(painted, expected);
    }

    // Any total may come from the parameters: one far below 0 leaves the bars no room. 10^10
    // pixels from the trace's start, past int, a block is still drawn in its place.
    void extremeTotals()
    {
        pc->setNbCycleTotal(INT_MIN);
        pc->initHorizontalScrollBar();
        QCOMPARE(pc->getHorizontalScrollBar()->maximum(), 0);
        cycle->setNbCycleTotal(INT_MIN);
        cycle->initScrollBar();
        QCOMPARE(cycle->getHorizontalScrollBar()->maximum(), 0);
        const int debut = 1000000000;
        cycle->setNbCycleTotal(debut + 100);
        cycle->initScrollBar();
        addTraceBlock(*trace, "execute", debut + 3, 4, -1);
        cycle->repaintHorizontalSliderMoved(debut, true);
        const QImage image = cycle->grab(cycle->getGraphicBlockWidget()->geometry()).toImage();
        QCOMPARE(image.pixelColor(32, 25), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(29, 25), QColor(Qt::white));
    }

    void pcViewPaintsItsBounds_data()
    {
        QTest::addColumn<QList<int>>("at"); // scrolled by cycles, by pixels; first and last pc
        QTest::addColumn<QString>("drawn"); // pcs whose block shows
        QTest::newRow("whole listing") << QList<int>{0, 0, 100, 112} << "108 112";
        QTest::newRow("scrolled both ways") << QList<int>{3, 10, 100, 112} << "108 112";
        QTest::newRow("last excludes 112") << QList<int>{0, 0, 100, 108} << "108";
        QTest::newRow("first pc never run") << QList<int>{0, 0, 102, 112} << "108 112";
        QTest::newRow("one pc") << QList<int>{0, 0, 112, 112} << "112";
    }
    void pcViewPaintsItsBounds()
    {
        QFETCH(QList<int>, at);
        pc->setNumFirstPcToPaint(at[2]);
        pc->setNumLastPcToPaint(at[3]);
        pc->updateScrollBarValue(at[1], at[0]);
        const QImage image = pc->grab(pc->getGraphicBlockWidget()->geometry()).toImage();
        QStringList shown; // commit of 108 at cycle 3, execute of 112 at 5: inside, top outline
        for (auto [p, c, colour] : {std::tuple(108, 3, Qt::red), std::tuple(112, 5, Qt::blue)}) {
            const int x = (c - at[0]) * 12 + 6;
            const int top = (p - 100) * 3 - at[1];
            if (image.pixelColor(x, top + 6) == colour) {
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
        const int space = pc->fontMetrics().horizontalAdvance(QLatin1Char(' '));
        QVERIFY(gaps.size() >= 5 && *std::min_element(gaps.begin(), gaps.end()) >= space);
    }

    // Writes outside the table are ignored; clearing and any new row count empty every cell.
    // A click with any button on a row with a pc asks for it and highlights the row; a row
    // the table lacks highlights nothing, yet the PC view still gets the cycle.
    void tableActions_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("rows");        // the row count after it; -1: the cells unchanged
        QTest::addColumn<int>("highlighted"); // -1: none
        QTest::addColumn<QString>("emitted");
        // pc <row> writes the pc, set <row> <operand> an operand
        for (const char *write : {"pc 5", "pc -1", "set 1 3", "set 1 -2", "set 5 0"})
            QTest::newRow(write) << write << -1 << 1 << "";
        QTest::newRow("clear") << "clear" << 5 << -1 << "";
        QTest::newRow("same row count") << "rows 5" << 5 << -1 << "";
        QTest::newRow("negative row count") << "rows -3" << 0 << -1 << "";
        QTest::newRow("operand column") << "click 0 4" << -1 << 0 << "pc 100";
        QTest::newRow("right button") << "right 0 1" << -1 << 0 << "pc 100";
        QTest::newRow("empty pc cell") << "click 3 1" << -1 << 1 << "";
        QTest::newRow("pc not a number") << "click 4 0" << -1 << 4 << "pc 0";
        QTest::newRow("select a row") << "select 2 7" << -1 << 2 << "scroll 0 7";
        QTest::newRow("select a missing row") << "select 5 7" << -1 << -1 << "scroll 0 7";
    }
    void tableActions()
    {
        QFETCH(QString, action);
        QFETCH(int, rows);
        QFETCH(int, highlighted);
        const auto cells = [this] {
            QStringList texts;
            for (int cell = 0; cell < table->rowCount() * 5; ++cell)
                texts << table->cellText(cell / 5, cell % 5);
            return texts;
        };
        const QStringList before = cells();
        QSignalSpy pcs(table.get(), &TableAsm::displayPcTraceCycle);
        QSignalSpy scrolls(table.get(), qOverload<int, int>(&TableAsm::updateScrollBarValue));
        const QStringList a = action.split(QLatin1Char(' '));
        const int row = a.value(1).toInt();
        const int column = a.value(2).toInt();
        if (a[0] == "clear")
            table->clear();
        else if (a[0] == "rows")
            table->setNbRows(row);
        else if (a[0] == "select")
            table->selectionnerPc(row, column);
        else if (a[0] == "pc")
            table->setPc(row, "X");
        else if (a[0] == "set")
            table->setValue(row, column, "X");
        else
            QTest::mouseClick(table->viewport(), a[0] == "right" ? Qt::RightButton : Qt::LeftButton,
                              {}, table->visualRect(table->model()->index(row, column)).center());
        QCOMPARE(table->rowCount(), rows < 0 ? 5 : rows);
        QCOMPARE(cells(), rows < 0 ? before : QStringList(rows * 5, QString()));
        QList<int> selected;
        for (const QModelIndex &index : table->selectionModel()->selectedIndexes())
            selected << index.row();
        QCOMPARE(selected, QList<int>(highlighted < 0 ? 0 : 5, highlighted));
        QStringList emitted;
        for (const QList<QVariant> &args : std::as_const(pcs))
            emitted << "pc " + args[0].toString();
        for (const QList<QVariant> &args : std::as_const(scrolls))
            emitted << "scroll " + args[0].toString() + ' ' + args[1].toString();
        QTEST(emitted.join(QLatin1Char(' ')), "emitted");
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
        const QImage image = cycle->grab(cycle->getGraphicBlockWidget()->geometry()).toImage();
        QCOMPARE(image.pixelColor(255, 35), QColor(Qt::black));
    }
};

QTEST_MAIN(TestTraceViews)
#include "tst_traceViews.moc"
