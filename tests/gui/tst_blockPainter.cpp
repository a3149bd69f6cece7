// The views paint their blocks in batches; the pixels must be those of drawing every block in
// list order with drawItByCycle / drawItByPc, then the highlights' outlines over them all,
// whatever the layout.

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/graphicBlockWidget.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <random>

namespace {

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

constexpr int cell = 10;
constexpr int rows = 12; // events (cycle view) or pcs (PC view)

// Fills the store as the controller does: per cycle, blocks in file order; both indexes.
void fill(GraphicTrace &store, const Layout &layout, bool pcView)
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
                const bool off = layout.uneven && percent(15);
                const int x = (layout.backwards && percent(10) ? cycle - 2 : cycle) * cell;
                block->setPositionTraceCycle(x + (off ? 3 : 0), row * cell + (off ? 4 : 0));
                block->setSizeTraceCycle(cell + (off ? 5 : 0), cell);
                block->setPositionTracePc(x + (off ? 3 : 0), row * cell + (off ? 4 : 0));
                block->setSizeTracePc(cell + (off ? 5 : 0), cell);
                store.addElement(cycle, *block);
                if (pcView)
                    store.addElementTabPc(row, *block);
            }
        }
    }
}

} // namespace

Q_DECLARE_METATYPE(Layout)

class TestBlockPainter : public QObject
{
    Q_OBJECT

private slots:
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
            {"wider than the view", {90, 80, 0, false, -1, false, false, 25}},
            {"highlights", {30, 80, 30, false, 2}},
            {"adjacent highlights", {30, 100, 50, false, 0}},
            {"highlights, blocks out of order", {30, 80, 30, false, 2, false, true}},
            {"highlights, scrolled", {30, 80, 30, false, 2, false, false, 4, 2}}};
        for (bool pc : {false, true}) {
            for (const auto &[name, layout] : layouts) {
                if (!pc || layout.highlightPc < 0)
                    QTest::addRow("%s: %s", pc ? "pc" : "cycle", name) << pc << layout;
            }
        }
    }

    void sameAsOneByOne()
    {
        QFETCH(bool, pcView);
        QFETCH(Layout, layout);
        GraphicTrace store;
        fill(store, layout, pcView);
        TraceWidgetCycle cycleView(nullptr, "cycle");
        TraceWidgetPc pcViewWidget(nullptr, "pc");
        TraceWidget &view = pcView ? static_cast<TraceWidget &>(pcViewWidget) : cycleView;
        view.resize(40 * cell + 17, 15 * cell + 37);
        view.updateNewSize();
        view.setGraphicTrace(store);
        view.setLargeurBlock(cell);
        view.setHauteurBlock(cell);
        view.setNbBlockHorizontalToPaint(41);
        view.setNbBlockVerticalToPaint(16);
        view.setNbCycleTotal(layout.columns);
        if (pcView) {
            pcViewWidget.setNumFirstPcToPaint(0);
            pcViewWidget.setNumLastPcToPaint(rows - 1);
            pcViewWidget.repaintHorizontalSliderMoved(layout.scrollColumns, false);
            pcViewWidget.repaintVerticalSliderMoved(layout.scrollRows * cell);
        } else {
            cycleView.setNiveauZoom(1);
            cycleView.setNbConfigEvent(rows);
            cycleView.displayPcTraceCycle(layout.highlightPc);
            cycleView.repaintHorizontalSliderMoved(layout.scrollColumns, false);
            cycleView.repaintVerticalSliderMoved(layout.scrollRows);
        }
        QImage whole(view.size(), QImage::Format_RGB32);
        whole.fill(Qt::red);
        view.render(&whole, QPoint(), QRegion(), QWidget::RenderFlags());
        const QImage painted = whole.copy(view.getGraphicBlockWidget()->geometry());
        QVERIFY(painted.size() == QSize(40 * cell, 15 * cell));

        QImage expected(painted.size(), QImage::Format_RGB32);
        expected.fill(Qt::white);
        QPainter painter(&expected);
        const QRect r(layout.scrollColumns * cell, layout.scrollRows * cell, painted.width(),
                      painted.height());
        std::lock_guard<std::recursive_mutex> lock(store.mutex());
        if (pcView) {
            for (const auto &entry : store.getTabPc()) {
                for (GraphicElement *element : entry.second)
                    static_cast<const GraphicBlock *>(element)->drawItByPc(&painter, r, false);
            }
        }
        for (bool highlights : {false, true}) {
            auto entry = store.getTabCycle().lower_bound(layout.scrollColumns);
            for (int c = 0; !pcView && c < 41 && entry != store.getTabCycle().end(); ++c, ++entry) {
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
};

QTEST_MAIN(TestBlockPainter)
#include "tst_blockPainter.moc"
