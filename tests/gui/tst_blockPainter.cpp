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
    int columns = 30;       // cycles (cycle view) or cycles (pc view), one column each
    int rows = 12;          // events (cycle view) or pcs (pc view)
    int fill = 80;          // percentage of cells holding a block
    int twice = 0;          // percentage of filled cells holding a second block
    bool patterns = false;  // some pattern brushes and some without a brush
    int highlightPc = -1;   // cycle view: blocks of this pc are highlighted
    bool uneven = false;    // some blocks of another size, off the grid
    bool backwards = false; // some blocks placed left of the ones before them
    int scrollColumns = 0;
    int scrollRows = 0;
};

constexpr int cell = 10;

QBrush brushOf(int row, int variant, bool patterns)
{
    const QColor colour = QColor::fromHsv((row * 37 + variant * 90) % 360, 200, 220);
    if (patterns && variant == 1)
        return QBrush(colour, Qt::Dense5Pattern);
    if (patterns && variant == 2)
        return QBrush();
    return QBrush(colour);
}

// Fills the store as the controller does: per cycle, blocks in file order; both indexes.
void fill(GraphicTrace &store, const Layout &layout, bool pcView)
{
    std::mt19937 random(7);
    const auto percent = [&random](int p) { return int(random() % 100) < p; };
    for (int cycle = 0; cycle < layout.columns; ++cycle) {
        store.addCycle(cycle);
        for (int row = 0; row < layout.rows; ++row) {
            if (!percent(layout.fill))
                continue;
            const int copies = percent(layout.twice) ? 2 : 1;
            for (int copy = 0; copy < copies; ++copy) {
                auto *block = new GraphicBlock(QStringLiteral("e%1").arg(row));
                block->setBrush(brushOf(row, int(random() % 3), layout.patterns));
                const int pc = int(random() % 5);
                block->setPc(pc);
                block->setCycle(cycle);
                int x = cycle * cell, y = row * cell, w = cell, h = cell;
                if (layout.uneven && percent(15)) {
                    x += 3;
                    y += 4;
                    w += 5;
                }
                if (layout.backwards && percent(10))
                    x = (cycle - 2) * cell;
                block->setPositionTraceCycle(x, y);
                block->setSizeTraceCycle(w, h);
                block->setPositionTracePc(x, y);
                block->setSizeTracePc(w, h);
                store.addElement(cycle, *block);
                if (pcView)
                    store.addElementTabPc(row, *block);
            }
        }
    }
}

QImage surfaceOf(TraceWidget &view)
{
    QImage image(view.size(), QImage::Format_RGB32);
    image.fill(Qt::red);
    view.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image.copy(view.getGraphicBlockWidget()->geometry());
}

QImage blank(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
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
        for (bool pc : {false, true}) {
            const auto row = [pc](const char *name, Layout layout) {
                QTest::addRow("%s: %s", pc ? "pc" : "cycle", name) << pc << layout;
            };
            Layout plain;
            row("grid", plain);
            Layout full = plain;
            full.fill = 100;
            row("every cell", full);
            Layout twice = plain;
            twice.twice = 30;
            row("two blocks in a cell", twice);
            Layout patterns = plain;
            patterns.patterns = true;
            row("patterns and no brush", patterns);
            Layout scrolled = patterns;
            scrolled.scrollColumns = 7;
            scrolled.scrollRows = 3;
            row("scrolled", scrolled);
            Layout uneven = twice;
            uneven.uneven = true;
            row("off the grid", uneven);
            Layout wide = plain;
            wide.columns = 90;
            wide.scrollColumns = 25;
            row("wider than the view", wide);
            if (pc)
                continue;
            Layout highlight = twice;
            highlight.highlightPc = 2;
            row("highlights", highlight);
            Layout everyHighlight = full;
            everyHighlight.highlightPc = 0;
            everyHighlight.twice = 50;
            row("adjacent highlights", everyHighlight);
            Layout backwards = highlight;
            backwards.backwards = true;
            row("highlights, blocks out of order", backwards);
            Layout highlightScrolled = highlight;
            highlightScrolled.scrollColumns = 4;
            highlightScrolled.scrollRows = 2;
            row("highlights, scrolled", highlightScrolled);
        }
    }

    void sameAsOneByOne()
    {
        QFETCH(bool, pcView);
        QFETCH(Layout, layout);
        GraphicTrace store;
        fill(store, layout, pcView);
        const QSize frame(40 * cell + 17, 15 * cell + 37);

        QImage painted;
        QImage expected;
        if (!pcView) {
            TraceWidgetCycle view(nullptr, "cycle");
            view.resize(frame);
            view.updateNewSize();
            view.setGraphicTrace(store);
            view.setLargeurBlock(cell);
            view.setHauteurBlock(cell);
            view.setNbBlockHorizontalToPaint(41);
            view.setNbBlockVerticalToPaint(16);
            view.setNiveauZoom(1);
            view.setNbConfigEvent(layout.rows);
            view.setNbCycleTotal(layout.columns);
            view.displayPcTraceCycle(layout.highlightPc);
            view.repaintHorizontalSliderMoved(layout.scrollColumns, false);
            view.repaintVerticalSliderMoved(layout.scrollRows);
            painted = surfaceOf(view);

            expected = blank(painted.size());
            QPainter painter(&expected);
            const QRect r(layout.scrollColumns * cell, layout.scrollRows * cell, painted.width(),
                          painted.height());
            std::lock_guard<std::recursive_mutex> lock(store.mutex());
            for (bool highlights : {false, true}) {
                auto entry = store.getTabCycle().lower_bound(layout.scrollColumns);
                for (int c = 0; c < 41 && entry != store.getTabCycle().end(); ++c, ++entry) {
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
        } else {
            TraceWidgetPc view(nullptr, "pc");
            view.resize(frame);
            view.updateNewSize();
            view.setGraphicTrace(store);
            view.setLargeurBlock(cell);
            view.setHauteurBlock(cell);
            view.setNbBlockHorizontalToPaint(41);
            view.setNbBlockVerticalToPaint(16);
            view.setNumFirstPcToPaint(0);
            view.setNumLastPcToPaint(layout.rows - 1);
            view.repaintHorizontalSliderMoved(layout.scrollColumns, false);
            view.repaintVerticalSliderMoved(layout.scrollRows * cell);
            painted = surfaceOf(view);

            expected = blank(painted.size());
            QPainter painter(&expected);
            const QRect r(layout.scrollColumns * cell, layout.scrollRows * cell, painted.width(),
                          painted.height());
            std::lock_guard<std::recursive_mutex> lock(store.mutex());
            for (const auto &entry : store.getTabPc()) {
                for (GraphicElement *element : entry.second)
                    static_cast<const GraphicBlock *>(element)->drawItByPc(&painter, r, false);
            }
        }
        QVERIFY(painted.size() == QSize(40 * cell, 15 * cell));
        if (painted != expected) {
            int differing = 0;
            QPoint first(-1, -1);
            for (int y = 0; y < painted.height(); ++y) {
                for (int x = 0; x < painted.width(); ++x) {
                    if (painted.pixel(x, y) != expected.pixel(x, y) && differing++ == 0)
                        first = QPoint(x, y);
                }
            }
            QFAIL(qPrintable(QStringLiteral("%1 pixels differ, first at (%2, %3)")
                                 .arg(differing)
                                 .arg(first.x())
                                 .arg(first.y())));
        }
    }
};

QTEST_MAIN(TestBlockPainter)
#include "tst_blockPainter.moc"
