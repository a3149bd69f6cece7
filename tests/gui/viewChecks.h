#ifndef VIEWCHECKS_H
#define VIEWCHECKS_H

#include "gui/graphicBlockWidget.h"
#include "paintCounter.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// Both trace views are tested at 300 x 200: a surface of 283 x 163 at (0, 20).
template<class View> std::unique_ptr<View> shownView(const char *name)
{
    auto view = std::make_unique<View>(nullptr, name);
    view->resize(300, 200);
    view->updateNewSize();
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        return nullptr;
    return view;
}

template<class View> QImage surfaceOf(View &view)
{
    return view.grab(view.getGraphicBlockWidget()->geometry()).toImage();
}

// The horizontal bar's arrows stop at both ends of 0..max without repainting again there,
// yet still ask for the cycle; a page step always repaints.
template<class View> void checkHorizontalEnds(View &view, int max)
{
    QScrollBar *bar = view.getHorizontalScrollBar();
    QCOMPARE(bar->maximum(), max);
    QSignalSpy next(&view, &View::nextCycle);
    QSignalSpy prev(&view, &View::prevCycle);
    view.repaintHorizontalSliderMoved(max - 1, true);
    PaintCounter paints(&view, view.getGraphicBlockWidget()->geometry());
    for (int i = 0; i < 2; ++i)
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 5, bar->height() / 2));
    QCOMPARE(view.getPositionHorizontal(), max);
    QCOMPARE(bar->value(), max);
    QCOMPARE(next.count(), 2);
    QCOMPARE(next.last().at(0).toInt(), max);
    QCOMPARE(paints.count, 1);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(next.last().at(0).toInt(), max);
    QCOMPARE(paints.count, 2);

    view.repaintHorizontalSliderMoved(1, true);
    const int painted = paints.count;
    for (int i = 0; i < 2; ++i)
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(5, bar->height() / 2));
    QCOMPARE(view.getPositionHorizontal(), 0);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(prev.last().at(0).toInt(), 0);
    QCOMPARE(paints.count, painted + 1);
}

#endif
