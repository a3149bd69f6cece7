#include "dialogs/colorsLegendWidget.h"

#include <QPainter>
#include <QScrollArea>

#include <algorithm>

ColorsLegendWidget::ColorsLegendWidget(QScrollArea *scrollView, const QString &name)
    : QWidget(nullptr), scrollView(scrollView)
{
    setObjectName(name);
    resize(width - rightMargin, 151);
    if (scrollView)
        scrollView->setWidget(this);
}

QSize ColorsLegendWidget::neededSize(int eventCount, int longestName)
{
    if (eventCount < 1)
        return QSize(0, 0);
    const int neededHeight = eventCount * swatchSize + (eventCount - 1) * rowGap + 2 * topMargin;
    const int neededWidth = pixelsPerCharacter * longestName + leftMargin + swatchSize + textGap;
    return QSize(neededWidth, neededHeight);
}

void ColorsLegendWidget::setTabConfig(const std::map<QString, ConfigEvent> &newTabConfig)
{
    tabConfig = newTabConfig;
    // Growing here rather than while painting keeps the size and the scroll bars right even
    // before the legend is first shown, and avoids resizing from inside a paint event.
    grow();
    update();
}

void ColorsLegendWidget::grow()
{
    int longestName = 0;
    for (const auto &entry : tabConfig)
        longestName = std::max(longestName, int(entry.first.size()));
    const QSize needed = neededSize(int(tabConfig.size()), longestName);
    if (needed.isEmpty())
        return;

    const bool wider = needed.width() > width;
    const bool taller = needed.height() > height;
    if (wider && taller) {
        width = needed.width();
        height = needed.height();
        if (scrollView) {
            scrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            scrollView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        }
        resize(width, height);
    } else if (wider) {
        width = needed.width();
        if (scrollView) {
            scrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            scrollView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
        resize(width, height - bottomMargin);
    } else if (taller) {
        height = needed.height();
        if (scrollView) {
            scrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            scrollView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        }
        resize(width - rightMargin, height);
    }
}

void ColorsLegendWidget::paintEvent(QPaintEvent *)
{
    if (tabConfig.empty())
        return;

    QPainter painter(this);
    painter.setPen(Qt::black);
    int y = topMargin;
    for (const auto &[name, event] : tabConfig) {
        painter.setBrush(event.getBrush());
        // A one-pixel outline covers the rectangle's far edges too: one pixel less each way
        // leaves the swatch swatchSize wide and high, rowGap apart.
        painter.drawRect(leftMargin, y, swatchSize - 1, swatchSize - 1);
        painter.drawText(leftMargin + swatchSize + textGap, y + textOffset, name);
        y += swatchSize + rowGap;
    }
}
