#include "gui/traceWidgetCycle.h"

#include "core/graphicTrace.h"
#include "gui/blockPainter.h"
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
    if (niveau != niveauZoom)
        dernierChoix = Choix();
    niveauZoom = niveau;
}

void TraceWidgetCycle::setTabConfig(const std::map<QString, ConfigEvent> &config)
{
    tabConfig = config;
    ajusterColonneNoms();
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

// The view draws from where the bar is: a cycle beyond its range stops at its end.
void TraceWidgetCycle::setHorizontalScrollBarValue(const int &v)
{
    horizontalScrollBar->setValue(v);
    positionHorizontal = horizontalScrollBar->value();
}

void TraceWidgetCycle::setVerticalScrollBarValue(const int &v)
{
    verticalScrollBar->setValue(v);
    positionVertical = verticalScrollBar->value();
}

void TraceWidgetCycle::repaintHorizontalSliderMoved(const int &v, const bool &moveBar)
{
    positionHorizontal = v;
    if (moveBar) {
        horizontalScrollBar->setValue(v);
        positionHorizontal = horizontalScrollBar->value();
    }
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
    paintNoms(painter);
    paintMarqueurs(painter);

    const ViewAids::Plage plage = ViewAids::cyclesAffiches(
        positionHorizontal, niveauZoom, largeurBlock, graphicBlockWidget->width(), nbCycleTotal);
    if (plage.premier != plageSignalee.premier || plage.dernier != plageSignalee.dernier) {
        plageSignalee = plage;
        emit cyclesAffiches(plage.premier, plage.dernier);
    }
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
    if (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ControlModifier)) {
        emit marqueurDemande(
            ViewAids::cycleSous(clickX, positionHorizontal, niveauZoom, largeurBlock));
        return;
    }
    const int cycle = (clickX / largeurBlock) * niveauZoom + positionHorizontal;
    const int row = clickY / hauteurBlock + positionVertical;

    const std::optional<QString> event = evenementDuRang(row);
    if (!event)
        return;
    selectedEventName = *event;

    const std::vector<Occurrence> trouvees = occurrences(cycle, selectedEventName, true);
    if (trouvees.empty())
        return;
    // A cell may hold several instructions (as many as are fetched in one cycle): the first
    // press picks the first, each further press on the same cell the next one.
    size_t choix = 0;
    if (e->button() == Qt::LeftButton) {
        if (dernierChoix.cycle == cycle && dernierChoix.event == selectedEventName)
            choix = (dernierChoix.index + 1) % trouvees.size();
        dernierChoix = {cycle, selectedEventName, choix};
    }
    const int pc = trouvees[choix].pc;
    const int nbEvent = trouvees[choix].nbEvent;

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

std::optional<QString> TraceWidgetCycle::evenementDuRang(int row) const
{
    const auto configured =
        std::find_if(tabConfig.begin(), tabConfig.end(),
                     [row](const auto &entry) { return entry.second.getPosition() == row; });
    if (configured == tabConfig.end())
        return std::nullopt;
    return configured->first;
}

std::vector<TraceWidgetCycle::Occurrence>
TraceWidgetCycle::occurrences(int cycle, const QString &event, bool ajouterEntree)
{
    // Copied while the store is locked: the blocks may go as soon as it is not.
    std::vector<Occurrence> trouvees;
    GraphicTrace *trace = currentTrace();
    std::lock_guard<std::recursive_mutex> lock(trace->mutex());
    const auto parcourir = [&](const GraphicTrace::ElementList &elements) {
        for (const auto &element : elements) {
            const GraphicBlock *block = blockOf(element);
            if (block && block->getName() == event)
                trouvees.push_back({block->getPc(), block->getNbEvent()});
        }
    };
    if (ajouterEntree) {
        parcourir(trace->getTabElementTabCycle(cycle));
    } else {
        const auto entry = trace->getTabCycle().find(cycle);
        if (entry != trace->getTabCycle().end())
            parcourir(entry->second);
    }
    return trouvees;
}

// Every instruction of the cell, with its mnemonic and operands when its listing is shown;
// the rate at a coarse level.
QString TraceWidgetCycle::infobulle(QPoint p, QRect &zone)
{
    if (largeurBlock <= 0 || hauteurBlock <= 0 || niveauZoom <= 0)
        return QString();
    const int colonne = p.x() / largeurBlock;
    const int rang = p.y() / hauteurBlock;
    const int cycle = colonne * niveauZoom + positionHorizontal;
    const std::optional<QString> event = evenementDuRang(rang + positionVertical);
    if (!event)
        return QString();
    const std::vector<Occurrence> trouvees = occurrences(cycle, *event, false);
    if (trouvees.empty())
        return QString();
    zone = QRect(colonne * largeurBlock, rang * hauteurBlock, largeurBlock, hauteurBlock);
    QStringList lignes{ViewAids::enteteCellule(cycle, niveauZoom, *event)};
    for (const Occurrence &o : trouvees) {
        if (o.pc < 0) {
            if (niveauZoom != 1)
                lignes << QStringLiteral("Rate ") + TraceGeometry::rateText(o.nbEvent, niveauZoom) +
                              QStringLiteral(" %");
            continue;
        }
        const QString instruction = descripteurPc ? descripteurPc(o.pc) : QString();
        lignes << QStringLiteral("pc ") + QString::number(o.pc) +
                      (instruction.isEmpty() ? QString() : QStringLiteral(": ") + instruction);
    }
    return ViewAids::infobulle(lignes);
}

void TraceWidgetCycle::signalerCycle(int cycle, bool avant)
{
    if (avant)
        emit nextCycle(cycle);
    else
        emit prevCycle(cycle);
}

void TraceWidgetCycle::setColonneNoms(bool affichee)
{
    colonneNoms = affichee;
    ajusterColonneNoms();
}

namespace {

// Names are written in the row's height, at most as large as the window's usual text.
QFont policeNoms(const QFont &base, int hauteurRang)
{
    QFont font = base;
    font.setPixelSize(std::clamp(hauteurRang - 2, 6, 12));
    return font;
}

} // namespace

// As wide as the longest name needs, within bounds that keep it narrow: a longer name is cut.
void TraceWidgetCycle::ajusterColonneNoms()
{
    int largeur = 0;
    if (colonneNoms) {
        const QFontMetrics metrics(policeNoms(font(), 20));
        largeur = 48;
        for (const auto &entry : tabConfig)
            largeur = std::max(largeur, metrics.horizontalAdvance(entry.first) + 10);
        largeur = std::min(largeur, 120);
    }
    if (largeur == largeurNoms)
        return;
    largeurNoms = largeur;
    updateNewSize();
    emit colonneNomsChangee();
}

void TraceWidgetCycle::paintNoms(QPainter &painter)
{
    if (largeurNoms <= 0)
        return;
    const QRect surface = graphicBlockWidget->geometry();
    const QRect colonne(0, 0, largeurNoms, surface.bottom() + 1);
    painter.save();
    painter.resetTransform();
    painter.setClipRect(colonne);
    painter.fillRect(colonne, QColor(220, 220, 220));
    painter.setPen(QColor(160, 160, 164));
    painter.drawLine(largeurNoms - 1, 0, largeurNoms - 1, colonne.bottom());
    if (hauteurBlock > 0) {
        painter.setFont(policeNoms(font(), hauteurBlock));
        painter.setPen(Qt::black);
        const QFontMetrics metrics = painter.fontMetrics();
        for (const auto &[nom, event] : tabConfig) {
            const int rang = event.getPosition() - positionVertical;
            if (event.getPosition() < 0 || rang < 0)
                continue;
            const QRect cellule(4, surface.top() + rang * hauteurBlock, largeurNoms - 8,
                                hauteurBlock);
            if (cellule.top() > surface.bottom())
                continue;
            painter.drawText(cellule, Qt::AlignLeft | Qt::AlignVCenter,
                             metrics.elidedText(nom, Qt::ElideRight, cellule.width()));
        }
    }
    painter.restore();
}

void TraceWidgetCycle::graphicBlockWidgetMouseReleaseEvent(QMouseEvent *)
{
    hidePopupAndRepaint();
}
