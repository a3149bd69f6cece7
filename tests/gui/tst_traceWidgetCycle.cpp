#include "core/graphicTrace.h"
#include "gui/graphicBlockWidget.h"
#include "gui/popupInfo.h"
#include "gui/traceWidgetCycle.h"
#include "paintCounter.h"
#include "traceFixture.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// A 300 x 200 cycle view at the finest level: blocks 10 x 10, surface 283 x 163 at (0, 20).
class TestTraceWidgetCycle : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void blocksArePaintedAtTheirPlace_data();
    void blocksArePaintedAtTheirPlace();
    void highlightOutlinesTheBlocksOfOnePc();
    void nothingIsKnownYet();
    void pressesAnswer_data();
    void pressesAnswer();
    void zoomBlocksShowTheirRate();
    void pressOnAnEmptyCellAddsAnEmptyEntry();
    void popupFlipsAtTheEdges();
    void releaseHidesThePopup();
    void lineStepsStopAtTheEnds();
    void pageStepsStopAtTheEnds();
    void scrollRanges();

private:
    void configure(int niveau);
    QImage surface() const;

    std::unique_ptr<TraceWidgetCycle> view;
    std::unique_ptr<GraphicTrace> trace;
};

void TestTraceWidgetCycle::init()
{
    trace = std::make_unique<GraphicTrace>();
    view = std::make_unique<TraceWidgetCycle>(nullptr, "traceWidgetCycle");
    view->resize(300, 200);
    view->updateNewSize();
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
}

void TestTraceWidgetCycle::cleanup()
{
    view.reset();
    trace.reset();
}

void TestTraceWidgetCycle::configure(int niveau)
{
    view->setGraphicTrace(*trace);
    view->setTabConfig(TraceFixture::tabConfig());
    view->setNbConfigEvent(4);
    view->setNiveauZoom(niveau);
    view->setLargeurBlock(10);
    view->setHauteurBlock(10);
    view->setNbBlockHorizontalToPaint(29);
    view->setNbBlockVerticalToPaint(17);
    view->setNbCycleTotal(100 * niveau);
    view->initScrollBar();
}

QImage TestTraceWidgetCycle::surface() const
{
    return view->grab(view->getGraphicBlockWidget()->geometry()).toImage();
}

void TestTraceWidgetCycle::blocksArePaintedAtTheirPlace_data()
{
    QTest::addColumn<int>("position"); // first cycle shown
    QTest::addColumn<int>("cycle");
    QTest::addColumn<QString>("event");
    QTest::addColumn<QPoint>("inside"); // a point inside the block, on the surface

    QTest::newRow("first column, first row") << 0 << 0 << "commit" << QPoint(5, 5);
    QTest::newRow("cycle 7, row 2") << 0 << 7 << "execute" << QPoint(75, 25);
    QTest::newRow("scrolled by 5") << 5 << 7 << "execute" << QPoint(25, 25);
    QTest::newRow("last visible column") << 0 << 28 << "fetch" << QPoint(285 - 5, 35);
}

void TestTraceWidgetCycle::blocksArePaintedAtTheirPlace()
{
    QFETCH(int, position);
    QFETCH(int, cycle);
    QFETCH(QString, event);
    QFETCH(QPoint, inside);
    configure(1);
    TraceFixture::addTraceBlock(*trace, event, cycle, 4, -1);
    view->repaintHorizontalSliderMoved(position, true);

    const QImage image = surface();
    QCOMPARE(image.pixelColor(inside.x(), inside.y()), TraceFixture::colourOf(event));
    // The black outline at the block's left edge, white one column further left.
    const int left = (cycle - position) * 10;
    QCOMPARE(image.pixelColor(left, inside.y()), QColor(Qt::black));
    if (left > 0)
        QCOMPARE(image.pixelColor(left - 1, inside.y()), QColor(Qt::white));
}

void TestTraceWidgetCycle::highlightOutlinesTheBlocksOfOnePc()
{
    configure(1);
    TraceFixture::addTraceBlock(*trace, "decode", 3, 8, -1);
    TraceFixture::addTraceBlock(*trace, "decode", 6, 12, -1);
    TraceFixture::addTraceBlock(*trace, "commit", 9, 8, -1);
    const QColor orange(255, 140, 0);
    auto outline = [this](int cycle, int row) {
        return surface().pixelColor(cycle * 10, row * 10 + 5);
    };

    view->repaint();
    QCOMPARE(outline(3, 1), QColor(Qt::black));

    view->displayPcTraceCycle(8);
    QCOMPARE(outline(3, 1), orange);
    QCOMPARE(outline(9, 0), orange);
    QCOMPARE(outline(6, 1), QColor(Qt::black));

    // The outline stays while scrolling.
    view->repaintHorizontalSliderMoved(2, true);
    QCOMPARE(outline(1, 1), orange);
    QCOMPARE(outline(4, 1), QColor(Qt::black));

    view->displayPcTraceCycle(12);
    QCOMPARE(outline(1, 1), QColor(Qt::black));
    QCOMPARE(outline(4, 1), orange);
}

// Before the controller's first call every count and size is 0: an empty view, presses
// ignored, no division by zero.
void TestTraceWidgetCycle::nothingIsKnownYet()
{
    view->setGraphicTrace(*trace);
    view->setTabConfig(TraceFixture::tabConfig());
    TraceFixture::addTraceBlock(*trace, "commit", 0, 4, -1);
    view->repaint();
    const QImage image = surface();
    QCOMPARE(image.pixelColor(5, 5), QColor(Qt::white));
    QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1), QColor(Qt::white));

    QSignalSpy pcRequests(view.get(), &TraceWidgetCycle::displayPcTracePc);
    view->setLargeurBlock(10); // the zoom level is still unknown
    QTest::mousePress(view->getGraphicBlockWidget(), Qt::RightButton, {}, QPoint(5, 5));
    QTest::mousePress(view->getGraphicBlockWidget(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(view->getPopupInfo()->isHidden());
    QCOMPARE(pcRequests.count(), 0);
}

void TestTraceWidgetCycle::pressesAnswer_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("popup");      // empty: none shown
    QTest::addColumn<QList<int>>("request"); // pc, cycle of displayPcTracePc; empty: none

    // Block "fetch" (row 3) with pc 4096 at cycle 12: surface pixels (120..129, 30..39).
    const QString text = QStringLiteral("Cycle : 12\nEvent : fetch\nPc : 4096");
    QTest::newRow("right shows the popup")
        << Qt::RightButton << QPoint(125, 35) << text << QList<int>();
    QTest::newRow("right on the block's first pixel")
        << Qt::RightButton << QPoint(120, 30) << text << QList<int>();
    QTest::newRow("left asks for the pc")
        << Qt::LeftButton << QPoint(121, 39) << QString() << QList<int>{4096, 12};
    QTest::newRow("middle does nothing")
        << Qt::MiddleButton << QPoint(125, 35) << QString() << QList<int>();
    QTest::newRow("next cycle is empty")
        << Qt::RightButton << QPoint(130, 35) << QString() << QList<int>();
    QTest::newRow("other event's row")
        << Qt::RightButton << QPoint(125, 25) << QString() << QList<int>();
    QTest::newRow("below the last row")
        << Qt::RightButton << QPoint(125, 45) << QString() << QList<int>();
}

void TestTraceWidgetCycle::pressesAnswer()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, at);
    QFETCH(QString, popup);
    QFETCH(QList<int>, request);
    configure(1);
    TraceFixture::addTraceBlock(*trace, "fetch", 12, 4096, -1);
    TraceFixture::addTraceBlock(*trace, "commit", 13, 4100, -1);
    QSignalSpy pcRequests(view.get(), &TraceWidgetCycle::displayPcTracePc);

    QTest::mousePress(view->getGraphicBlockWidget(), button, {}, at);

    PopupInfo *info = view->getPopupInfo();
    QCOMPARE(info->isVisible(), !popup.isEmpty());
    if (!popup.isEmpty()) {
        QCOMPARE(info->text(), popup);
        QCOMPARE(info->geometry(), QRect(at + QPoint(15, 0), QSize(98, 56)));
    }
    QCOMPARE(pcRequests.count(), request.isEmpty() ? 0 : 1);
    if (!request.isEmpty())
        QCOMPARE(pcRequests.first(), (QList<QVariant>{request[0], request[1]}));
}

void TestTraceWidgetCycle::zoomBlocksShowTheirRate()
{
    configure(10);
    // Group of cycles 40..49, column 4; the view starts at cycle 0.
    TraceFixture::addZoomBlock(*trace, "decode", 40, 10, 3);
    QSignalSpy pcRequests(view.get(), &TraceWidgetCycle::displayPcTracePc);

    QTest::mousePress(view->getGraphicBlockWidget(), Qt::LeftButton, {}, QPoint(45, 15));
    QVERIFY(view->getPopupInfo()->isHidden());
    QTest::mousePress(view->getGraphicBlockWidget(), Qt::RightButton, {}, QPoint(45, 15));
    QCOMPARE(view->getPopupInfo()->text(),
             QStringLiteral("Cycle : 40\nEvent : decode\nRate : 30 %"));
    QCOMPARE(pcRequests.count(), 0);

    // At the finest level a block without pc shows no rate.
    trace = std::make_unique<GraphicTrace>();
    configure(1);
    TraceFixture::addZoomBlock(*trace, "decode", 4, 1, 1);
    QTest::mousePress(view->getGraphicBlockWidget(), Qt::RightButton, {}, QPoint(45, 15));
    QCOMPARE(view->getPopupInfo()->text(), QStringLiteral("Cycle : 4\nEvent : decode"));
}

void TestTraceWidgetCycle::pressOnAnEmptyCellAddsAnEmptyEntry()
{
    configure(1);
    TraceFixture::addTraceBlock(*trace, "fetch", 12, 4096, -1);
    QCOMPARE(trace->getSizeTabCycle(), 1);
    QTest::mousePress(view->getGraphicBlockWidget(), Qt::RightButton, {}, QPoint(75, 35));
    QVERIFY(view->getPopupInfo()->isHidden());
    QCOMPARE(trace->getSizeTabCycle(), 2);
    QCOMPARE(view->getSelectedEventName(), QStringLiteral("fetch"));
}

void TestTraceWidgetCycle::popupFlipsAtTheEdges()
{
    configure(1);
    TraceFixture::addTraceBlock(*trace, "fetch", 27, 4096, -1);
    // Surface 283 x 163; popup 98 x 56. Near the right edge it goes left of the pointer.
    QTest::mousePress(view->getGraphicBlockWidget(), Qt::RightButton, {}, QPoint(275, 35));
    QCOMPARE(view->getPopupInfo()->geometry(), QRect(275 - 98, 35, 98, 56));

    // Near the bottom it goes above the pointer; with rows 40 high y 155 is row 3, "fetch".
    view->setHauteurBlock(40);
    QTest::mousePress(view->getGraphicBlockWidget(), Qt::RightButton, {}, QPoint(275, 155));
    QCOMPARE(view->getPopupInfo()->geometry(), QRect(275 - 98, 155 - 56, 98, 56));
}

void TestTraceWidgetCycle::releaseHidesThePopup()
{
    configure(1);
    TraceFixture::addTraceBlock(*trace, "fetch", 12, 4096, -1);
    QTest::mousePress(view->getGraphicBlockWidget(), Qt::RightButton, {}, QPoint(125, 35));
    QVERIFY(view->getPopupInfo()->isVisible());
    PaintCounter paints(view.get());
    QTest::mouseRelease(view->getGraphicBlockWidget(), Qt::RightButton, {}, QPoint(125, 35));
    QVERIFY(view->getPopupInfo()->isHidden());
    QVERIFY(paints.count > 0);
}

void TestTraceWidgetCycle::lineStepsStopAtTheEnds()
{
    configure(1); // 100 cycles, 29 columns: horizontal range 0..72
    QScrollBar *bar = view->getHorizontalScrollBar();
    QCOMPARE(bar->maximum(), 72);
    QSignalSpy next(view.get(), &TraceWidgetCycle::nextCycle);
    QSignalSpy prev(view.get(), &TraceWidgetCycle::prevCycle);
    PaintCounter paints(view.get(), view->getGraphicBlockWidget()->geometry());
    // Clicks on the bar's arrows, as a user makes them.
    const QPoint addArrow(bar->width() - 5, bar->height() / 2);
    const QPoint subArrow(5, bar->height() / 2);

    view->setHorizontalScrollBarValue(71);
    QTest::mouseClick(bar, Qt::LeftButton, {}, addArrow);
    QCOMPARE(view->getPositionHorizontal(), 72);
    QCOMPARE(bar->value(), 72);
    QCOMPARE(next.takeFirst().at(0).toInt(), 72);
    QCOMPARE(paints.count, 1);

    // At the end: no repaint, but the request still goes out with the maximum.
    QTest::mouseClick(bar, Qt::LeftButton, {}, addArrow);
    QCOMPARE(view->getPositionHorizontal(), 72);
    QCOMPARE(next.takeFirst().at(0).toInt(), 72);
    QCOMPARE(paints.count, 1);

    view->setHorizontalScrollBarValue(0);
    QTest::mouseClick(bar, Qt::LeftButton, {}, subArrow);
    QCOMPARE(view->getPositionHorizontal(), 0);
    QCOMPARE(prev.takeFirst().at(0).toInt(), 0);
    QCOMPARE(paints.count, 1);
}

void TestTraceWidgetCycle::pageStepsStopAtTheEnds()
{
    configure(10); // 1000 cycles, 29 columns of 10: range 0..720, page 20
    QScrollBar *bar = view->getHorizontalScrollBar();
    QCOMPARE(bar->maximum(), 720);
    QSignalSpy next(view.get(), &TraceWidgetCycle::nextCycle);
    QSignalSpy prev(view.get(), &TraceWidgetCycle::prevCycle);
    PaintCounter paints(view.get(), view->getGraphicBlockWidget()->geometry());

    view->setHorizontalScrollBarValue(710);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(view->getPositionHorizontal(), 720);
    QCOMPARE(bar->value(), 720);
    QCOMPARE(next.takeFirst().at(0).toInt(), 720);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(next.takeFirst().at(0).toInt(), 720);
    QCOMPARE(paints.count, 2); // a page step repaints even at the end

    view->setHorizontalScrollBarValue(10);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(view->getPositionHorizontal(), 0);
    QCOMPARE(prev.takeFirst().at(0).toInt(), 0);

    // Vertical steps move the rows and ask for nothing.
    view->setNbConfigEvent(10);
    view->setNbBlockVerticalToPaint(4);
    view->initScrollBar();
    QScrollBar *vertical = view->getVerticalScrollBar();
    vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(view->getPositionVertical(), 2);
    vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(view->getPositionVertical(), 1);
    QVERIFY(next.isEmpty());
    QVERIFY(prev.isEmpty());
}

void TestTraceWidgetCycle::scrollRanges()
{
    configure(1);
    view->setNbConfigEvent(10);
    view->setNbBlockVerticalToPaint(4);
    view->initScrollBar();
    QScrollBar *vertical = view->getVerticalScrollBar();
    QCOMPARE(vertical->minimum(), 0);
    QCOMPARE(vertical->maximum(), 7);
    QCOMPARE(vertical->pageStep(), 2);

    // More rows fit than there are events; a trace shorter than the view.
    view->setNbBlockVerticalToPaint(30);
    view->setNbCycleTotal(10);
    view->initScrollBar();
    QCOMPARE(vertical->maximum(), 0);
    QCOMPARE(view->getHorizontalScrollBar()->maximum(), 0);

    // Dragging reports each value and the release once; the vertical drag only moves.
    QSignalSpy moved(view.get(), &TraceWidget::sliderHorizontalMoved);
    QSignalSpy released(view.get(), &TraceWidget::sliderHorizontalReleased);
    view->setNbCycleTotal(100);
    view->initScrollBar();
    QScrollBar *bar = view->getHorizontalScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(30);
    bar->setSliderPosition(31);
    bar->setSliderDown(false);
    QCOMPARE(moved.count(), 2);
    QCOMPARE(moved.last().at(0).toInt(), 31);
    QCOMPARE(released.count(), 1);
    QCOMPARE(released.first().at(0).toInt(), 31);
}

QTEST_MAIN(TestTraceWidgetCycle)
#include "tst_traceWidgetCycle.moc"
