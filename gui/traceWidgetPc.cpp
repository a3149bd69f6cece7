#include "gui/traceWidgetPc.h"

#include "core/graphicTrace.h"
#include "gui/graphicBlockWidget.h"
#include "gui/popupInfo.h"
#include "gui/storeBlocks.h"
#include "gui/traceGeometry.h"
#include "gui/viewAids.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <mutex>

TraceWidgetPc::TraceWidgetPc(QWidget *parent, const char *name) : TraceWidget(parent, name)
{
    verticalScrollBar->setRange(0, 0);
    horizontalScrollBar->setRange(0, 0);
    connectTableAsm();
}

TraceWidgetPc::~TraceWidgetPc() = default;

// Made after the frame's own connection of the same bar, so one click moves this view first
// and then, through the main window, the table.
void TraceWidgetPc::connectTableAsm()
{
    connect(verticalScrollBar, &QScrollBar::actionTriggered, this, [this](int action) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            emit verticalNextLine();
            break;
        case QAbstractSlider::SliderSingleStepSub:
            emit verticalPrevLine();
            break;
        case QAbstractSlider::SliderPageStepAdd:
            emit verticalNextPage();
            break;
        case QAbstractSlider::SliderPageStepSub:
            emit verticalPrevPage();
            break;
        default:
            break;
        }
    });
}

void TraceWidgetPc::nextLineHorizontal()
{
    emit nextCycle(avancer(horizontalScrollBar, positionHorizontal, Pas::LigneAvant));
}

void TraceWidgetPc::prevLineHorizontal()
{
    emit prevCycle(avancer(horizontalScrollBar, positionHorizontal, Pas::LigneArriere));
}

void TraceWidgetPc::nextPageHorizontal()
{
    emit nextCycle(avancer(horizontalScrollBar, positionHorizontal, Pas::PageAvant));
}

void TraceWidgetPc::prevPageHorizontal()
{
    emit prevCycle(avancer(horizontalScrollBar, positionHorizontal, Pas::PageArriere));
}

void TraceWidgetPc::sliderReleasedHorizontal()
{
    emit sliderHorizontalReleased(horizontalScrollBar->value());
}

void TraceWidgetPc::nextLineVertical()
{
    avancer(verticalScrollBar, positionVertical, Pas::LigneAvant, true);
}

void TraceWidgetPc::prevLineVertical()
{
    avancer(verticalScrollBar, positionVertical, Pas::LigneArriere, true);
}

void TraceWidgetPc::nextPageVertical()
{
    avancer(verticalScrollBar, positionVertical, Pas::PageAvant);
}

void TraceWidgetPc::prevPageVertical()
{
    avancer(verticalScrollBar, positionVertical, Pas::PageArriere);
}

void TraceWidgetPc::setValueNextLineTableAsm()
{
    nextLineVertical();
    verticalScrollBar->setValue(positionVertical);
}

void TraceWidgetPc::setValuePrevLineTableAsm()
{
    prevLineVertical();
    verticalScrollBar->setValue(positionVertical);
}

void TraceWidgetPc::setValueNextPageTableAsm()
{
    nextPageVertical();
    verticalScrollBar->setValue(positionVertical);
}

void TraceWidgetPc::setValuePrevPageTableAsm()
{
    prevPageVertical();
    verticalScrollBar->setValue(positionVertical);
}

// The view draws from where the bars are: a position beyond a range stops at its end.
void TraceWidgetPc::updateScrollBarValue(int vertical, int horizontal)
{
    verticalScrollBar->setValue(vertical);
    positionVertical = verticalScrollBar->value();
    horizontalScrollBar->setValue(horizontal);
    positionHorizontal = horizontalScrollBar->value();
    repaint();
}

void TraceWidgetPc::setVerticalScrollBarSliderValue(int v)
{
    verticalScrollBar->setValue(v);
    positionVertical = verticalScrollBar->value();
    repaint();
}

void TraceWidgetPc::initHorizontalScrollBar()
{
    // Any total may come from the parameters, one far below 0 included.
    const qint64 maximum = qint64(nbCycleTotal) - nbBlockHorizontalToPaint + 1;
    horizontalScrollBar->setRange(0, int(std::clamp<qint64>(maximum, 0, INT_MAX)));
    horizontalScrollBar->setSingleStep(1);
    horizontalScrollBar->setPageStep(2);
    positionHorizontal = horizontalScrollBar->value();
}

void TraceWidgetPc::initVerticalScrollBar(const int &min, const int &max, const int &lineStep,
                                          const int &pageStep)
{
    verticalScrollBar->setMinimum(min);
    verticalScrollBar->setMaximum(max);
    verticalScrollBar->setSingleStep(lineStep);
    verticalScrollBar->setPageStep(pageStep);
    positionVertical = verticalScrollBar->value();
}

int TraceWidgetPc::getMaxValueVerticalScrollBar() const
{
    return verticalScrollBar->maximum();
}

int TraceWidgetPc::getMinValueVerticalScrollBar() const
{
    return verticalScrollBar->minimum();
}

int TraceWidgetPc::getLineStepVerticalScrollBar() const
{
    return verticalScrollBar->singleStep();
}

int TraceWidgetPc::getPageStepVerticalScrollBar() const
{
    return verticalScrollBar->pageStep();
}

void TraceWidgetPc::setNbPcParAsm(const int &n)
{
    nbPcParAsm = n;
}

void TraceWidgetPc::repaintVerticalSliderMoved(const int &v)
{
    positionVertical = v;
    repaint();
}

void TraceWidgetPc::repaintHorizontalSliderMoved(const int &v, const bool &moveBar)
{
    positionHorizontal = v;
    if (moveBar) {
        horizontalScrollBar->setValue(v);
        positionHorizontal = horizontalScrollBar->value();
    }
    repaint();
}

void TraceWidgetPc::setNumFirstPcToPaint(const int &pc)
{
    numFirstPcToPaint = pc;
}

void TraceWidgetPc::setNumLastPcToPaint(const int &pc)
{
    numLastPcToPaint = pc;
}

void TraceWidgetPc::setTabPositionPc(const std::map<int, int> &positions)
{
    tabPositionPc = positions;
}

void TraceWidgetPc::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintBackground(painter);
    paintStrip(painter, 1);
    paintSurface(painter);
    paintMarqueurs(painter);
}

void TraceWidgetPc::paintSurface(QPainter &painter)
{
    const QRect surface = graphicBlockWidget->geometry();
    painter.setClipRect(surface);
    painter.translate(surface.topLeft());
    painter.fillRect(QRect(QPoint(0, 0), surface.size()), Qt::white);
    // A listing whose last pc lies below its first has no rows to walk.
    if (numLastPcToPaint < numFirstPcToPaint)
        return;

    const qint64 originX = qint64(largeurBlock) * positionHorizontal;
    GraphicTrace *trace = currentTrace();
    std::lock_guard<std::recursive_mutex> lock(trace->mutex());
    const GraphicTrace::TabPc &tabPc = trace->getTabPc();
    blocks.clear();
    // From the listing's first pc on, whether or not the trace ran that pc.
    for (auto entry = tabPc.lower_bound(numFirstPcToPaint);
         entry != tabPc.end() && entry->first <= numLastPcToPaint; ++entry) {
        for (const auto &element : entry->second) {
            const GraphicBlock *block = blockOf(element);
            if (!block || block->getPositionXTracePc() < 0 || block->getPositionYTracePc() < 0)
                continue;
            // Beyond the right or bottom edge: not drawn. Left of or above the surface: only
            // clipped away.
            const qint64 x = block->getPositionXTracePc() - originX;
            if (x >= surface.width() || x + block->getLargeurBlockTracePc() < 0)
                continue;
            const QRect rect(int(x), block->getPositionYTracePc() - positionVertical,
                             block->getLargeurBlockTracePc(), block->getHauteurBlockTracePc());
            if (rect.y() >= surface.height() || rect.bottom() + 1 < 0)
                continue;
            blocks.add(rect, block->getBrush(), block, false);
        }
    }
    blocks.paintPc(painter);
}

void TraceWidgetPc::graphicBlockWidgetMousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ControlModifier) &&
        largeurBlock > 0) {
        emit marqueurDemande(
            ViewAids::cycleSous(e->position().toPoint().x(), positionHorizontal, 1, largeurBlock));
        return;
    }
    if (e->button() != Qt::RightButton)
        return;
    clickX = e->position().toPoint().x();
    clickY = e->position().toPoint().y();
    // No column width yet: there is no cycle under the pointer.
    if (largeurBlock <= 0)
        return;
    const int cycle = clickX / largeurBlock + positionHorizontal;
    const std::optional<int> pc = pcDuRang(clickY + positionVertical);
    if (!pc)
        return;
    const QStringList noms = evenements(*pc, cycle, true);
    if (noms.isEmpty())
        return;
    QString text = QStringLiteral("Cycle : ") + QString::number(cycle) + QStringLiteral("\nPc : ") +
                   QString::number(*pc);
    for (const QString &nom : noms)
        text += QStringLiteral("\nEvent : ") + nom;
    popupInfo->showIt(clickX, clickY, text, graphicBlockWidget->geometry());
}

std::optional<int> TraceWidgetPc::pcDuRang(int y) const
{
    const auto row = std::find_if(tabPositionPc.begin(), tabPositionPc.end(),
                                  [this, y](const std::pair<const int, int> &entry) {
                                      return entry.second <= y && y < entry.second + hauteurBlock;
                                  });
    if (row == tabPositionPc.end())
        return std::nullopt;
    return row->first;
}

QStringList TraceWidgetPc::evenements(int pc, int cycle, bool ajouterEntree) const
{
    QStringList noms;
    GraphicTrace *trace = currentTrace();
    std::lock_guard<std::recursive_mutex> lock(trace->mutex());
    const auto parcourir = [&](const GraphicTrace::ElementList &elements) {
        for (const auto &element : elements) {
            const GraphicBlock *block = blockOf(element);
            if (block && block->getCycle() == cycle)
                noms << block->getName();
        }
    };
    if (ajouterEntree) {
        parcourir(trace->getTabElementTabPc(pc));
    } else {
        const auto entry = trace->getTabPc().find(pc);
        if (entry != trace->getTabPc().end())
            parcourir(entry->second);
    }
    return noms;
}

// The pc's instruction when its listing is shown, then the events of that cycle.
QString TraceWidgetPc::infobulle(QPoint p, QRect &zone)
{
    if (largeurBlock <= 0 || hauteurBlock <= 0)
        return QString();
    const int cycle = p.x() / largeurBlock + positionHorizontal;
    const std::optional<int> pc = pcDuRang(p.y() + positionVertical);
    if (!pc)
        return QString();
    const QStringList noms = evenements(*pc, cycle, false);
    if (noms.isEmpty())
        return QString();
    zone = QRect(p.x() / largeurBlock * largeurBlock, tabPositionPc.at(*pc) - positionVertical,
                 largeurBlock, hauteurBlock);
    const QString instruction = descripteurPc ? descripteurPc(*pc) : QString();
    QStringList lignes{QStringLiteral("Cycle %1, pc %2").arg(cycle).arg(*pc) +
                       (instruction.isEmpty() ? QString() : QStringLiteral(": ") + instruction)};
    lignes << noms;
    return ViewAids::infobulle(lignes);
}

void TraceWidgetPc::signalerCycle(int cycle, bool avant)
{
    if (avant)
        emit nextCycle(cycle);
    else
        emit prevCycle(cycle);
}

void TraceWidgetPc::graphicBlockWidgetMouseReleaseEvent(QMouseEvent *)
{
    hidePopupAndRepaint();
}
