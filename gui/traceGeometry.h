#ifndef TRACEGEOMETRY_H
#define TRACEGEOMETRY_H

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

// Pixel arithmetic of the main window and the trace views, kept free of widgets so that it
// can be checked on its own.
namespace TraceGeometry {

// Thickness of the views' scroll bars and height of their cycle strip.
constexpr int scrollBarExtent = 17;
constexpr int stripHeight = 20;

struct MainLayout
{
    QRect traceCycle;
    QRect tableAsm;
    QRect tracePc;
};

// Places the three data widgets in the central widget. `toolBar` is the tool bar's size as it
// stands; right after an orientation change it still has the old orientation's shape, so its
// extents are taken crosswise.
MainLayout mainLayout(QSize window, int menuBarHeight, int statusBarHeight, QSize toolBar,
                      Qt::Orientation toolBarOrientation, bool orientationJustChanged,
                      int tableWidth);

struct FrameLayout
{
    QRect infoBar;
    QRect surface;
    QRect horizontalBar;
    QRect verticalBar;
};

FrameLayout frameLayout(QSize view);

struct StripLabel
{
    int x;
    QString text;
};

// The cycle numbers of a view's strip: column i stands for first + i * step and is labelled
// only when the columns passed since the last label leave room for the text, estimated at
// 6 pixels per character. When given, footprint(text) is what a label really takes before the
// next one may start (its width in the strip's font and a gap): a label that would run into
// the one before it is skipped too.
std::vector<StripLabel> stripLabels(int first, int step, int nbColumns, int largeurBlock,
                                    const std::function<int(const QString &)> &footprint = {});

// Size of the information popup for `text`: 6 pixels per character of its longest line,
// 12 per line, 20 of margin each way.
QSize popupSize(const QString &text);

// Top-left corner of a popup of size `popup` shown for a press at (x, y): beside the pointer,
// flipped to the other side when it would cross the right or bottom edge of `area`.
QPoint popupPosition(int x, int y, QSize popup, QSize area);

// The rate line of a zoom block: the share of the level's cycles that had the event.
QString rateText(int nbEvent, int niveauZoom);

struct Step
{
    int position;
    bool clamped;
};

// One step of a scroll position, limited to [minimum, maximum]; `clamped` tells whether the
// limit was hit (the views then skip the repaint of a line step).
Step stepForward(int position, int step, int maximum);
Step stepBackward(int position, int step, int minimum);

} // namespace TraceGeometry

#endif
