#include "core/graphicTrace.h"
#include "gui/graphicBlockWidget.h"
#include "gui/popupInfo.h"
#include "gui/traceWidgetPc.h"
#include "paintCounter.h"
#include "traceFixture.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// A 300 x 200 PC view with rows of 12 pixels: pcs 100, 104, 108, 112 at y 0, 12, 24, 36.
class TestTraceWidgetPc : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void blocksArePaintedLevelWithTheirRow_data();
    void blocksArePaintedLevelWithTheirRow();
    void pcBoundsLimitThePaint_data();
    void pcBoundsLimitThePaint();
    void rightPressListsTheEvents_data();
    void rightPressListsTheEvents();
    void pressBeforeSetupIsIgnored();
    void releaseHidesThePopupForAnyButton();
    void horizontalStepsAtTheEnds();
    void verticalStepsFollowTheTable();

private:
    void configure();
    QImage surface() const
    {
        return view->grab(view->getGraphicBlockWidget()->geometry()).toImage();
    }

    std::unique_ptr<TraceWidgetPc> view;
    std::unique_ptr<GraphicTrace> trace;
    TraceFixture::Geometry geometry;
};

void TestTraceWidgetPc::init()
{
    trace = std::make_unique<GraphicTrace>();
    view = std::make_unique<TraceWidgetPc>(nullptr, "traceWidgetPc");
    view->resize(300, 200);
    view->updateNewSize();
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
}

void TestTraceWidgetPc::cleanup()
{
    view.reset();
    trace.reset();
}

void TestTraceWidgetPc::configure()
{
    view->setGraphicTrace(*trace);
    view->setLargeurBlock(12);
    view->setHauteurBlock(12);
    view->setNbBlockHorizontalToPaint(300 / 12 + 1);
    view->setNbBlockVerticalToPaint(200 / 12 + 1);
    view->setNbCycleTotal(100);
    view->initHorizontalScrollBar();
    view->initVerticalScrollBar(0, 400, 12, 120);
    view->setTabPositionPc({{100, 0}, {104, 12}, {108, 24}, {112, 36}});
    view->setNumFirstPcToPaint(100);
    view->setNumLastPcToPaint(112);
    std::lock_guard<std::recursive_mutex> lock(trace->mutex());
    for (int pc : {100, 104, 108, 112})
        trace->updatePositionYTracePc(pc, (pc - 100) * 3);
}

void TestTraceWidgetPc::blocksArePaintedLevelWithTheirRow_data()
{
    QTest::addColumn<int>("horizontal");
    QTest::addColumn<int>("vertical");
    QTest::addColumn<QPoint>("inside"); // of the block of pc 108 at cycle 5

    QTest::newRow("not scrolled") << 0 << 0 << QPoint(66, 30);
    QTest::newRow("three cycles on") << 3 << 0 << QPoint(30, 30);
    QTest::newRow("ten pixels down") << 0 << 10 << QPoint(66, 20);
}

void TestTraceWidgetPc::blocksArePaintedLevelWithTheirRow()
{
    QFETCH(int, horizontal);
    QFETCH(int, vertical);
    QFETCH(QPoint, inside);
    configure();
    TraceFixture::addTraceBlock(*trace, "execute", 5, 108, 24, geometry);
    view->updateScrollBarValue(vertical, horizontal);

    const QImage image = surface();
    QCOMPARE(image.pixelColor(inside), TraceFixture::colourOf(QStringLiteral("execute")));
    // Its top outline lies on the row's first line.
    QCOMPARE(image.pixelColor(inside.x(), 24 - vertical), QColor(Qt::black));
    QCOMPARE(image.pixelColor(inside.x(), 24 - vertical - 1), QColor(Qt::white));
}

void TestTraceWidgetPc::pcBoundsLimitThePaint_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<bool>("pc104Drawn");
    QTest::addColumn<bool>("pc112Drawn");

    QTest::newRow("whole listing") << 100 << 112 << true << true;
    QTest::newRow("last excludes 112") << 100 << 108 << true << false;
    QTest::newRow("first must be a key") << 102 << 112 << false << false;
    QTest::newRow("last below first") << 108 << 100 << false << false;
    QTest::newRow("nothing loaded yet") << -1 << -1 << false << false;
}

void TestTraceWidgetPc::pcBoundsLimitThePaint()
{
    QFETCH(int, first);
    QFETCH(int, last);
    configure();
    TraceFixture::addTraceBlock(*trace, "commit", 2, 104, 12, geometry);
    TraceFixture::addTraceBlock(*trace, "commit", 2, 112, 36, geometry);
    view->setNumFirstPcToPaint(first);
    view->setNumLastPcToPaint(last);
    view->repaint();

    const QImage image = surface();
    const QColor red = TraceFixture::colourOf(QStringLiteral("commit"));
    QFETCH(bool, pc104Drawn);
    QFETCH(bool, pc112Drawn);
    QCOMPARE(image.pixelColor(30, 18) == red, pc104Drawn);
    QCOMPARE(image.pixelColor(30, 42) == red, pc112Drawn);
}

// The popup names the cycle and the pc, then every event of that pc in that cycle.
void TestTraceWidgetPc::rightPressListsTheEvents_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<int>("vertical");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("popup");

    const QString two = QStringLiteral("Cycle : 3\nPc : 104\nEvent : decode\nEvent : fetch");
    QTest::newRow("two events") << Qt::RightButton << 0 << QPoint(40, 15) << two;
    QTest::newRow("row's first line") << Qt::RightButton << 0 << QPoint(40, 12) << two;
    QTest::newRow("row's end is the next row")
        << Qt::RightButton << 0 << QPoint(40, 24)
        << QStringLiteral("Cycle : 3\nPc : 108\nEvent : commit");
    QTest::newRow("scrolled: y counts from the content")
        << Qt::RightButton << 10 << QPoint(40, 2) << two;
    QTest::newRow("no event in that cycle") << Qt::RightButton << 0 << QPoint(64, 15) << QString();
    QTest::newRow("below the listing") << Qt::RightButton << 0 << QPoint(40, 60) << QString();
    QTest::newRow("left never shows one") << Qt::LeftButton << 0 << QPoint(40, 15) << QString();
}

void TestTraceWidgetPc::rightPressListsTheEvents()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(int, vertical);
    QFETCH(QPoint, at);
    QFETCH(QString, popup);
    configure();
    TraceFixture::addTraceBlock(*trace, "decode", 3, 104, 12, geometry);
    TraceFixture::addTraceBlock(*trace, "decode", 4, 104, 12, geometry);
    TraceFixture::addTraceBlock(*trace, "fetch", 3, 104, 12, geometry);
    TraceFixture::addTraceBlock(*trace, "commit", 3, 108, 24, geometry);
    view->updateScrollBarValue(vertical, 0);

    QTest::mousePress(view->getGraphicBlockWidget(), button, {}, at);
    QCOMPARE(view->getPopupInfo()->isVisible(), !popup.isEmpty());
    if (!popup.isEmpty()) {
        QCOMPARE(view->getPopupInfo()->text(), popup);
        QCOMPARE(view->getPopupInfo()->pos(), at + QPoint(15, 0));
    }
}

void TestTraceWidgetPc::pressBeforeSetupIsIgnored()
{
    view->setGraphicTrace(*trace);
    view->setTabPositionPc({{100, 0}});
    TraceFixture::addTraceBlock(*trace, "decode", 0, 100, 0, geometry);
    QTest::mousePress(view->getGraphicBlockWidget(), Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(view->getPopupInfo()->isHidden());
    view->repaint();
    QCOMPARE(surface().pixelColor(5, 5), QColor(Qt::white));
}

void TestTraceWidgetPc::releaseHidesThePopupForAnyButton()
{
    configure();
    TraceFixture::addTraceBlock(*trace, "decode", 3, 104, 12, geometry);
    QTest::mousePress(view->getGraphicBlockWidget(), Qt::RightButton, {}, QPoint(40, 15));
    QVERIFY(view->getPopupInfo()->isVisible());
    QTest::mouseRelease(view->getGraphicBlockWidget(), Qt::LeftButton, {}, QPoint(40, 15));
    QVERIFY(view->getPopupInfo()->isHidden());
}

void TestTraceWidgetPc::horizontalStepsAtTheEnds()
{
    configure(); // 100 cycles, 26 columns: range 0..75
    QScrollBar *bar = view->getHorizontalScrollBar();
    QCOMPARE(bar->maximum(), 75);
    QSignalSpy next(view.get(), &TraceWidgetPc::nextCycle);
    QSignalSpy prev(view.get(), &TraceWidgetPc::prevCycle);
    PaintCounter paints(view.get(), view->getGraphicBlockWidget()->geometry());

    view->repaintHorizontalSliderMoved(75, true);
    paints.count = 0;
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 5, bar->height() / 2));
    QCOMPARE(view->getPositionHorizontal(), 75);
    QCOMPARE(next.takeFirst().at(0).toInt(), 75);
    QCOMPARE(paints.count, 0);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(next.takeFirst().at(0).toInt(), 75);
    QCOMPARE(paints.count, 1);

    view->repaintHorizontalSliderMoved(1, true);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(view->getPositionHorizontal(), 0);
    QCOMPARE(prev.takeFirst().at(0).toInt(), 0);
    QCOMPARE(bar->value(), 0);
}

// The vertical bar's own clicks move the view and go out as relays for the table; the
// table's moves come in through the setValue... slots and land on the bar as well.
void TestTraceWidgetPc::verticalStepsFollowTheTable()
{
    configure(); // vertical range 0..400, line 12, page 120
    QScrollBar *bar = view->getVerticalScrollBar();
    QSignalSpy nextLine(view.get(), &TraceWidgetPc::verticalNextLine);
    QSignalSpy prevPage(view.get(), &TraceWidgetPc::verticalPrevPage);

    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 5));
    QCOMPARE(view->getPositionVertical(), 12);
    QCOMPARE(bar->value(), 12);
    QCOMPARE(nextLine.count(), 1);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(view->getPositionVertical(), 0);
    QCOMPARE(prevPage.count(), 1);

    view->setValueNextPageTableAsm();
    QCOMPARE(view->getPositionVertical(), 120);
    QCOMPARE(bar->value(), 120);
    view->setVerticalScrollBarSliderValue(390);
    view->setValueNextLineTableAsm();
    QCOMPARE(view->getPositionVertical(), 400);
    QCOMPARE(bar->value(), 400);
    view->setValuePrevPageTableAsm();
    view->setValuePrevPageTableAsm();
    view->setValuePrevPageTableAsm();
    view->setValuePrevPageTableAsm();
    QCOMPARE(view->getPositionVertical(), 0);
    QCOMPARE(bar->value(), 0);
    // Those came from the table: nothing is sent back to it.
    QCOMPARE(nextLine.count(), 1);
    QCOMPARE(prevPage.count(), 1);
}

QTEST_MAIN(TestTraceWidgetPc)
#include "tst_traceWidgetPc.moc"
