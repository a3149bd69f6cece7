#include "gui/traceGeometry.h"

#include <algorithm>

namespace TraceGeometry {

MainLayout mainLayout(QSize window, int menuBarHeight, int statusBarHeight, QSize toolBar,
                      Qt::Orientation toolBarOrientation, bool orientationJustChanged,
                      int tableWidth)
{
    const int toolBarWidth = orientationJustChanged ? toolBar.height() : toolBar.width();
    const int toolBarHeight = orientationJustChanged ? toolBar.width() : toolBar.height();

    int availableWidth = window.width();
    int availableHeight = window.height() - menuBarHeight - statusBarHeight;
    if (toolBarOrientation == Qt::Vertical)
        availableWidth -= toolBarWidth;
    else
        availableHeight -= toolBarHeight;

    const int half = availableHeight / 2;
    MainLayout layout;
    layout.traceCycle = QRect(0, 0, availableWidth, half);
    layout.tableAsm = QRect(0, half + 4, tableWidth, half - 21);
    layout.tracePc = QRect(tableWidth, half + 4, availableWidth - tableWidth, half - 7);
    return layout;
}

FrameLayout frameLayout(QSize view)
{
    const int w = view.width();
    const int h = view.height();
    FrameLayout layout;
    layout.infoBar = QRect(0, 0, w, stripHeight);
    layout.surface = QRect(0, stripHeight, w - scrollBarExtent, h - scrollBarExtent - stripHeight);
    layout.horizontalBar = QRect(0, h - scrollBarExtent, w - scrollBarExtent, scrollBarExtent);
    layout.verticalBar = QRect(w - scrollBarExtent, 0, scrollBarExtent, h - scrollBarExtent);
    return layout;
}

std::vector<StripLabel> stripLabels(int first, int step, int nbColumns, int largeurBlock,
                                    const std::function<int(const QString &)> &footprint)
{
    std::vector<StripLabel> labels;
    int room = largeurBlock;
    // What the last label drawn takes of the room that follows it.
    int taken = 0;
    for (int i = 0; i < nbColumns; ++i) {
        const QString text = QString::number(first + qint64(i) * step);
        if ((text.size() - 1) * 6 + 9 < room && taken <= room) {
            labels.push_back({i * largeurBlock, text});
            room = largeurBlock;
            taken = footprint ? footprint(text) : 0;
        } else {
            room += largeurBlock;
        }
    }
    return labels;
}

QSize popupSize(const QString &text)
{
    const int nbNewlines = int(text.count(QLatin1Char('\n')));
    qsizetype longest = 0;
    qsizetype start = 0;
    qsizetype lastNewline = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('\n'))
            continue;
        longest = std::max(longest, i - start);
        start = i + 1;
        lastNewline = i;
    }
    if (lastNewline >= 0)
        longest = std::max(longest, text.size() - lastNewline);
    else
        longest = text.size();
    return QSize(int(longest) * 6 + 20, (nbNewlines + 1) * 12 + 20);
}

QPoint popupPosition(int x, int y, QSize popup, QSize area)
{
    int px = x + 15;
    if (px + popup.width() > area.width())
        px = x - popup.width();
    int py = y;
    if (py + popup.height() > area.height())
        py = y - popup.height();
    return QPoint(px, py);
}

QString rateText(int nbEvent, int niveauZoom)
{
    const float rate = float(double(nbEvent) / niveauZoom * 100);
    return QString::number(double(rate), 'g', 6);
}

Step stepForward(int position, int step, int maximum)
{
    const qint64 next = qint64(position) + step;
    if (next > maximum)
        return {maximum, true};
    return {int(next), false};
}

Step stepBackward(int position, int step, int minimum)
{
    const qint64 next = qint64(position) - step;
    if (next < minimum)
        return {minimum, true};
    return {int(next), false};
}

} // namespace TraceGeometry
