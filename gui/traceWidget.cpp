#include "gui/traceWidget.h"

#include "core/graphicTrace.h"
#include "gui/graphicBlockWidget.h"
#include "gui/mainWidget.h"
#include "gui/popupInfo.h"
#include "gui/traceGeometry.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>

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
    const TraceGeometry::FrameLayout layout = TraceGeometry::frameLayout(size());
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
    position = step.position;
    if (page || !step.clamped || repeindreAuBout)
        repaint();
    return position;
}
