#include "gui/traceWidget.h"

#include "core/graphicTrace.h"
#include "gui/graphicBlockWidget.h"
#include "gui/mainWidget.h"
#include "gui/popupInfo.h"
#include "gui/traceGeometry.h"
#include "gui/viewAids.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

TraceWidget::TraceWidget(QWidget *parent, const char *name)
    : QWidget(parent), graphicTrace(nullptr), ownTrace(std::make_unique<GraphicTrace>())
{
    setObjectName(QString::fromLatin1(name));
    graphicTrace.store(ownTrace.get(), std::memory_order_release);

    infoBar = new QWidget(this);
    infoBar->setObjectName(QStringLiteral("infoBar"));
    graphicBlockWidget = new GraphicBlockWidget(this, "traceWidget");
    horizontalScrollBar = new QScrollBar(Qt::Horizontal, this);
    horizontalScrollBar->setObjectName(QStringLiteral("horizontal scrollbar"));
    verticalScrollBar = new QScrollBar(Qt::Vertical, this);
    verticalScrollBar->setObjectName(QStringLiteral("vertical scrollbar"));
    // The bars' context menu would set a value behind the views' back ("Scroll here").
    horizontalScrollBar->setContextMenuPolicy(Qt::NoContextMenu);
    verticalScrollBar->setContextMenuPolicy(Qt::NoContextMenu);

    setPalette(QPalette(Qt::white));
    // The view paints its whole area itself; nothing needs to be erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A click on the view (or on its bars, which take no focus) gives it the keyboard.
    setFocusPolicy(Qt::ClickFocus);

    connectAll();

    popupInfo = new PopupInfo(graphicBlockWidget, "popupInfo");
}

TraceWidget::~TraceWidget() = default;

void TraceWidget::connectAll()
{
    connect(horizontalScrollBar, &QScrollBar::actionTriggered, this,
            &TraceWidget::horizontalAction);
    connect(horizontalScrollBar, &QScrollBar::sliderMoved, this,
            &TraceWidget::sliderHorizontalMoved);
    connect(horizontalScrollBar, &QScrollBar::sliderReleased, this,
            &TraceWidget::sliderReleasedHorizontal);
    connect(verticalScrollBar, &QScrollBar::actionTriggered, this, &TraceWidget::verticalAction);
    connect(verticalScrollBar, &QScrollBar::sliderMoved, this, &TraceWidget::sliderVerticalMoved);
    connect(graphicBlockWidget, &GraphicBlockWidget::mousePressedSignal, this,
            &TraceWidget::graphicBlockWidgetMousePressEvent);
    connect(graphicBlockWidget, &GraphicBlockWidget::mouseReleasedSignal, this,
            &TraceWidget::graphicBlockWidgetMouseReleaseEvent);
}

// Qt reports arrow and page clicks as actions, after the bar's slider has moved and before its
// value changes.
void TraceWidget::horizontalAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        nextLineHorizontal();
        break;
    case QAbstractSlider::SliderSingleStepSub:
        prevLineHorizontal();
        break;
    case QAbstractSlider::SliderPageStepAdd:
        nextPageHorizontal();
        break;
    case QAbstractSlider::SliderPageStepSub:
        prevPageHorizontal();
        break;
    case QAbstractSlider::SliderMove:
    case QAbstractSlider::SliderToMinimum:
    case QAbstractSlider::SliderToMaximum:
        // A wheel turn or a Home/End key jumps the bar without a drag: report it as a drag
        // that ended at once, so the position and the loaded files follow the bar.
        if (!horizontalScrollBar->isSliderDown()) {
            const int v = horizontalScrollBar->sliderPosition();
            emit sliderHorizontalMoved(v);
            emit sliderHorizontalReleased(v);
        }
        break;
    default:
        break;
    }
}

void TraceWidget::verticalAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        nextLineVertical();
        break;
    case QAbstractSlider::SliderSingleStepSub:
        prevLineVertical();
        break;
    case QAbstractSlider::SliderPageStepAdd:
        nextPageVertical();
        break;
    case QAbstractSlider::SliderPageStepSub:
        prevPageVertical();
        break;
    case QAbstractSlider::SliderMove:
    case QAbstractSlider::SliderToMinimum:
    case QAbstractSlider::SliderToMaximum:
        if (!verticalScrollBar->isSliderDown())
            emit sliderVerticalMoved(verticalScrollBar->sliderPosition());
        break;
    default:
        break;
    }
}

int TraceWidget::getLargeurTrace() const
{
    return graphicBlockWidget->width();
}

int TraceWidget::getHauteurTrace() const
{
    return graphicBlockWidget->height();
}

void TraceWidget::setGraphicTrace(GraphicTrace &t)
{
    graphicTrace.store(&t, std::memory_order_release);
}

void TraceWidget::setLargeurBlock(const int &largeur)
{
    largeurBlock = largeur;
}

void TraceWidget::setHauteurBlock(const int &hauteur)
{
    hauteurBlock = hauteur;
}

void TraceWidget::setNbBlockHorizontalToPaint(const int &nb)
{
    nbBlockHorizontalToPaint = nb;
}

void TraceWidget::setNbBlockVerticalToPaint(const int &nb)
{
    nbBlockVerticalToPaint = nb;
}

void TraceWidget::setNbCycleTotal(const int &nb)
{
    nbCycleTotal = nb;
}

void TraceWidget::updateNewSize()
{
    const TraceGeometry::FrameLayout layout =
        ViewAids::avecColonneNoms(TraceGeometry::frameLayout(size()), largeurNoms);
    infoBar->setGeometry(layout.infoBar);
    graphicBlockWidget->setGeometry(layout.surface);
    horizontalScrollBar->setGeometry(layout.horizontalBar);
    verticalScrollBar->setGeometry(layout.verticalBar);
}

void TraceWidget::paintBackground(QPainter &painter)
{
    const QRegion rest =
        QRegion(rect()).subtracted(infoBar->geometry()).subtracted(graphicBlockWidget->geometry());
    for (const QRect &part : rest)
        painter.fillRect(part, Qt::white);
}

void TraceWidget::paintStrip(QPainter &painter, int step)
{
    const QRect strip = infoBar->geometry();
    painter.save();
    painter.setClipRect(strip);
    painter.translate(strip.topLeft());
    painter.fillRect(QRect(QPoint(0, 0), strip.size()), QColor(220, 220, 220));
    if (largeurBlock > 0) {
        // Six pixels a digit is less than today's fonts take: labels are also kept a space
        // apart in the font they are written in, or they would read as one number.
        const QFontMetrics metrics = painter.fontMetrics();
        const int space = metrics.horizontalAdvance(QLatin1Char(' '));
        const auto labels =
            TraceGeometry::stripLabels(positionHorizontal, step, nbBlockHorizontalToPaint,
                                       largeurBlock, [&metrics, space](const QString &text) {
                                           return metrics.horizontalAdvance(text) + space;
                                       });
        for (const TraceGeometry::StripLabel &label : labels) {
            painter.drawText(QPoint(label.x, 10), label.text);
            painter.drawLine(label.x, 0, label.x, 15);
        }
    }
    painter.restore();
}

void TraceWidget::hidePopupAndRepaint()
{
    popupInfo->hide();
    if (auto *mainWidget = qobject_cast<MainWidget *>(parentWidget()))
        mainWidget->repaintAll();
    else
        repaint();
}

int TraceWidget::avancer(QScrollBar *bar, int &position, Pas pas, bool repeindreAuBout)
{
    const bool page = pas == Pas::PageAvant || pas == Pas::PageArriere;
    const int taille = page ? bar->pageStep() : bar->singleStep();
    const TraceGeometry::Step step =
        pas == Pas::LigneAvant || pas == Pas::PageAvant
            ? TraceGeometry::stepForward(position, taille, bar->maximum())
            : TraceGeometry::stepBackward(position, taille, bar->minimum());
    // A line step stopped at the end repaints only if it moved at all (a step of 10 may stop
    // 1 short of the end).
    const bool bouge = step.position != position;
    position = step.position;
    if (page || !step.clamped || bouge || repeindreAuBout)
        repaint();
    return position;
}

int TraceWidget::pasHorizontal() const
{
    return std::max(1, horizontalScrollBar->singleStep());
}

void TraceWidget::allerA(qint64 cycle)
{
    const int cible = ViewAids::cibleHorizontale(cycle, horizontalScrollBar->minimum(),
                                                 horizontalScrollBar->maximum(), pasHorizontal());
    if (cible == positionHorizontal)
        return;
    const bool avant = cible > positionHorizontal;
    positionHorizontal = cible;
    horizontalScrollBar->setValue(cible);
    repaint();
    signalerCycle(cible, avant);
}

void TraceWidget::setMarqueurs(const std::vector<int> &cycles)
{
    if (cycles == marqueurs)
        return;
    marqueurs = cycles;
    update();
}

void TraceWidget::paintMarqueurs(QPainter &painter)
{
    if (marqueurs.empty() || largeurBlock <= 0)
        return;
    // The one placed first, then the other.
    static const QColor couleurs[] = {QColor(0, 90, 255), QColor(230, 0, 140)};
    const QRect surface = graphicBlockWidget->geometry();
    painter.save();
    painter.resetTransform();
    painter.setClipRect(QRect(surface.left(), 0, surface.width(), surface.bottom() + 1));
    for (size_t i = 0; i < marqueurs.size() && i < 2; ++i) {
        const qint64 x =
            ViewAids::xMarqueur(marqueurs[i], positionHorizontal, pasHorizontal(), largeurBlock);
        if (x >= 0 && x < surface.width())
            painter.fillRect(QRect(surface.left() + int(x) - 1, 0, 2, surface.bottom() + 1),
                             couleurs[i]);
    }
    painter.restore();
}

QString TraceWidget::infobulle(QPoint, QRect &)
{
    return QString();
}

bool TraceWidget::event(QEvent *e)
{
    if (e->type() != QEvent::ToolTip)
        return QWidget::event(e);
    // Only while no button is held: the popup of a held button says it already.
    const auto *aide = static_cast<QHelpEvent *>(e);
    const QPoint p = aide->pos() - graphicBlockWidget->pos();
    QRect zone;
    QString texte;
    if (graphicBlockWidget->rect().contains(p) && QGuiApplication::mouseButtons() == Qt::NoButton &&
        !popupInfo->isVisible())
        texte = infobulle(p, zone);
    if (texte.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(aide->globalPos(), texte, graphicBlockWidget, zone);
    return true;
}

// Arrows and wheel take the bars' own paths, so that the view moves, reads its files and
// snaps back exactly as when the bars are clicked; a page is a screenful of columns and
// Home and End the ends of the trace, reached as the arrows reach a cycle.
void TraceWidget::keyPressEvent(QKeyEvent *e)
{
    const qint64 page =
        qint64(ViewAids::colonnesEntieres(graphicBlockWidget->width(), largeurBlock)) *
        pasHorizontal();
    switch (e->key()) {
    case Qt::Key_Left:
        horizontalScrollBar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Right:
        horizontalScrollBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_Up:
        verticalScrollBar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Down:
        verticalScrollBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_PageUp:
        allerA(positionHorizontal - page);
        break;
    case Qt::Key_PageDown:
        allerA(positionHorizontal + page);
        break;
    case Qt::Key_Home:
        allerA(horizontalScrollBar->minimum());
        break;
    case Qt::Key_End:
        allerA(horizontalScrollBar->maximum());
        break;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    e->accept();
}

void TraceWidget::wheelEvent(QWheelEvent *e)
{
    const QPoint delta = e->angleDelta();
    if (e->modifiers() & Qt::ControlModifier) {
        const int n = ViewAids::crans(resteMolette, delta.y());
        for (int i = 0; i < qAbs(n); ++i)
            emit zoomDemande(n > 0);
        e->accept();
        return;
    }
    // Some systems turn Shift+wheel into a horizontal turn themselves.
    const bool horizontal = (e->modifiers() & Qt::ShiftModifier) || delta.y() == 0;
    const int n =
        horizontal ? ViewAids::crans(resteMoletteHorizontal, delta.x() != 0 ? delta.x() : delta.y())
                   : ViewAids::crans(resteMolette, delta.y());
    QScrollBar *bar = horizontal ? horizontalScrollBar : verticalScrollBar;
    const int lignes = qAbs(n) * QApplication::wheelScrollLines();
    for (int i = 0; i < lignes; ++i)
        bar->triggerAction(n > 0 ? QAbstractSlider::SliderSingleStepSub
                                 : QAbstractSlider::SliderSingleStepAdd);
    e->accept();
}
