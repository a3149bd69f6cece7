#include "gui/traceWidgetCycle.h"

#include "core/graphicTrace.h"
#include "gui/blockPainter.h"
#include "gui/graphicBlockWidget.h"
#include "gui/popupInfo.h"
#include "gui/storeBlocks.h"
#include "gui/traceGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <mutex>

TraceWidgetCycle::TraceWidgetCycle(QWidget *parent, const char *name) : TraceWidget(parent, name)
{
    verticalScrollBar->setRange(0, 0);
    horizontalScrollBar->setRange(0, 0);
}

TraceWidgetCycle::~TraceWidgetCycle() = default;

void TraceWidgetCycle::setNbConfigEvent(const int &nb)
{
    nbConfigEvent = nb;
}

void TraceWidgetCycle::setNiveauZoom(const int &niveau)
{
    niveauZoom = niveau;
}

void TraceWidgetCycle::setTabConfig(const std::map<QString, ConfigEvent> &config)
{
    tabConfig = config;
}

void TraceWidgetCycle::initScrollBar()
{
    verticalScrollBar->setRange(0, std::max(0, nbConfigEvent - nbBlockVerticalToPaint + 1));
    verticalScrollBar->setSingleStep(1);
    verticalScrollBar->setPageStep(2);

    // A maximum below 0 (a trace shorter than the view, or any total the parameters give,
    // one far below 0 included) leaves the bar at 0.
    const qint64 maximum =
        qint64(nbCycleTotal) - qint64(nbBlockHorizontalToPaint) * niveauZoom + niveauZoom;
    horizontalScrollBar->setRange(0, int(std::clamp<qint64>(maximum, 0, INT_MAX)));
    horizontalScrollBar->setSingleStep(niveauZoom);
    horizontalScrollBar->setPageStep(2 * niveauZoom);
    // A range that shrank has moved the bars: the view draws from where they are now.
    positionHorizontal = horizontalScrollBar->value();
    positionVertical = verticalScrollBar->value();
}

void TraceWidgetCycle::setHorizontalScrollBarValue(const int &v)
{
    horizontalScrollBar->setValue(v);
    positionHorizontal = v;
}

void TraceWidgetCycle::setVerticalScrollBarValue(const int &v)
{
    verticalScrollBar->setValue(v);
    positionVertical = verticalScrollBar->value();
}

void TraceWidgetCycle::repaintHorizontalSliderMoved(const int &v, const bool &moveBar)
{
    positionHorizontal = v;
    if (moveBar)
        horizontalScrollBar->setValue(v);
    repaint();
}

void TraceWidgetCycle::repaintVerticalSliderMoved(const int &v)
{
    positionVertical = v;
    repaint();
}

void TraceWidgetCycle::displayPcTraceCycle(int pc)
{
    pcToDisplay = pc;
    repaint();
}

void TraceWidgetCycle::nextLineHorizontal()
{
    emit nextCycle(avancer(horizontalScrollBar, positionHorizontal, Pas::LigneAvant));
}

void TraceWidgetCycle::prevLineHorizontal()
{
    emit prevCycle(avancer(horizontalScrollBar, positionHorizontal, Pas::LigneArriere));
}

void TraceWidgetCycle::nextPageHorizontal()
{
    emit nextCycle(avancer(horizontalScrollBar, positionHorizontal, Pas::PageAvant));
}

void TraceWidgetCycle::prevPageHorizontal()
{
    emit prevCycle(avancer(horizontalScrollBar, positionHorizontal, Pas::PageArriere));
}

void TraceWidgetCycle::sliderReleasedHorizontal()
{
    emit sliderHorizontalReleased(horizontalScrollBar->value());
}

void TraceWidgetCycle::nextLineVertical()
{
    avancer(verticalScrollBar, positionVertical, Pas::LigneAvant);
}

void TraceWidgetCycle::prevLineVertical()
{
    avancer(verticalScrollBar, positionVertical, Pas::LigneArriere);
}

void TraceWidgetCycle::nextPageVertical()
{
    avancer(verticalScrollBar, positionVertical, Pas::PageAvant);
}

void TraceWidgetCycle::prevPageVertical()
{
    avancer(verticalScrollBar, positionVertical, Pas::PageArriere);
}

void TraceWidgetCycle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintBackground(painter);
    paintStrip(painter, niveauZoom);
    paintSurface(painter);
}

void TraceWidgetCycle::paintSurface(QPainter &painter)
{
    const QRect surface = graphicBlockWidget->geometry();
    painter.setClipRect(surface);
    painter.translate(surface.topLeft());
    painter.fillRect(QRect(QPoint(0, 0), surface.size()), Qt::white);
    // Nothing is known before the controller's first call: an empty view.
    if (niveauZoom <= 0 || nbBlockHorizontalToPaint <= 0)
        return;

    originX = qint64(positionHorizontal / niveauZoom) * largeurBlock;
    originY = hauteurBlock * positionVertical;
    firstCycleToPaint = positionHorizontal;

    GraphicTrace *trace = currentTrace();
    std::lock_guard<std::recursive_mutex> lock(trace->mutex());
    const GraphicTrace::TabCycle &tabCycle = trace->getTabCycle();
    auto entry = tabCycle.lower_bound(firstCycleToPaint);
    // Blocks wholly outside the surface, highlight included, would only be clipped away.
    const QRect reach(QPoint(-2, -2), surface.size() + QSize(4, 4));
    blocks.clear();
    for (int column = 0; column < nbBlockHorizontalToPaint && entry != tabCycle.end();
         ++column, ++entry) {
        for (const auto &element : entry->second) {
            const GraphicBlock *block = blockOf(element);
            if (!block || block->getPositionXTraceCycle() < 0 ||
                block->getPositionYTraceCycle() < 0)
                continue;
            const qint64 x = block->getPositionXTraceCycle() - originX;
            if (x < reach.left() - qint64(block->getLargeurBlockTraceCycle()) || x > reach.right())
                continue;
            const QRect rect(int(x), block->getPositionYTraceCycle() - originY,
                             block->getLargeurBlockTraceCycle(),
                             block->getHauteurBlockTraceCycle());
            if (!rect.adjusted(0, 0, 1, 1).intersects(reach))
                continue;
            const bool selected = pcToDisplay != -1 && block->getPc() == pcToDisplay;
            blocks.add(rect, block->getBrush(), block, selected);
        }
    }
    blocks.paintCycle(painter);
}

void TraceWidgetCycle::graphicBlockWidgetMousePressEvent(QMouseEvent *e)
{
    clickX = e->position().toPoint().x();
    clickY = e->position().toPoint().y();
    if (largeurBlock <= 0 || hauteurBlock <= 0 || niveauZoom <= 0)
        return;
    const int cycle = (clickX / largeurBlock) * niveauZoom + positionHorizontal;
    const int row = clickY / hauteurBlock + positionVertical;

    auto configured = std::find_if(tabConfig.begin(), tabConfig.end(), [row](const auto &entry) {
        return entry.second.getPosition() == row;
    });
    if (configured == tabConfig.end())
        return;
    selectedEventName = configured->first;

    // Copy what is needed while the store is locked: the block may go as soon as it is not.
    bool found = false;
    int pc = -1;
    int nbEvent = 0;
    {
        GraphicTrace *trace = currentTrace();
        std::lock_guard<std::recursive_mutex> lock(trace->mutex());
        const GraphicTrace::ElementList elements = trace->getTabElementTabCycle(cycle);
        for (const auto &element : elements) {
            const GraphicBlock *block = blockOf(element);
            if (block && block->getName() == selectedEventName) {
                found = true;
                pc = block->getPc();
                nbEvent = block->getNbEvent();
                break;
            }
        }
    }
    if (!found)
        return;

    const QString head = QStringLiteral("Cycle : ") + QString::number(cycle) +
                         QStringLiteral("\nEvent : ") + selectedEventName;
    const QRect surface = graphicBlockWidget->geometry();
    if (pc != -1) {
        if (e->button() == Qt::RightButton)
            popupInfo->showIt(clickX, clickY,
                              head + QStringLiteral("\nPc : ") + QString::number(pc), surface);
        else if (e->button() == Qt::LeftButton)
            emit displayPcTracePc(pc, cycle);
        return;
    }
    if (e->button() != Qt::RightButton)
        return;
    if (niveauZoom != 1)
        popupInfo->showIt(clickX, clickY,
                          head + QStringLiteral("\nRate : ") +
                              TraceGeometry::rateText(nbEvent, niveauZoom) + QStringLiteral(" %"),
                          surface);
    else
        popupInfo->showIt(clickX, clickY, head, surface);
}

void TraceWidgetCycle::graphicBlockWidgetMouseReleaseEvent(QMouseEvent *)
{
    hidePopupAndRepaint();
}
