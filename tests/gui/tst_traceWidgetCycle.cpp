#include "core/graphicTrace.h"
#include "gui/popupInfo.h"
#include "gui/traceWidgetCycle.h"
#include "traceFixture.h"
#include "viewChecks.h"

#include <atomic>
#include <climits>
#include <thread>

// A cycle view with blocks of 10 x 10: 29 columns and 17 rows fit on its surface.
class TestTraceWidgetCycle : public QObject
{
    Q_OBJECT

    std::unique_ptr<GraphicTrace> trace;
    std::unique_ptr<TraceWidgetCycle> view;

    QImage surface() { return surfaceOf(*view); }
    void configure(int niveau)
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

private slots:
    void init()
    {
        trace = std::make_unique<GraphicTrace>();
        view = shownView<TraceWidgetCycle>("traceWidgetCycle");
        QVERIFY(view);
    }
    void cleanup()
    {
        view.reset();
        trace.reset();
    }

    void blocksArePaintedAtTheirPlace_data()
    {
        QTest::addColumn<int>("position"); // first cycle shown
        QTest::addColumn<int>("cycle");
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("y"); // of a line through the block, on the surface
        QTest::newRow("first column, first row") << 0 << 0 << "commit" << 5;
        QTest::newRow("cycle 7, row 2") << 0 << 7 << "execute" << 25;
        QTest::newRow("scrolled by 5") << 5 << 7 << "execute" << 25;
        QTest::newRow("last visible column") << 0 << 28 << "fetch" << 35;
        // 10^10 pixels from the trace's start: past int, and still in place.
        QTest::newRow("a billion cycles on") << 1000000000 << 1000000003 << "execute" << 25;
    }
    void blocksArePaintedAtTheirPlace()
    {
        QFETCH(int, position);
        QFETCH(int, cycle);
        QFETCH(QString, event);
        QFETCH(int, y);
        configure(1);
        view->setNbCycleTotal(position + 100);
        view->initScrollBar();
        TraceFixture::addTraceBlock(*trace, event, cycle, 4, -1);
        view->repaintHorizontalSliderMoved(position, true);
        QCOMPARE(view->getHorizontalScrollBar()->value(), position);
        const QImage image = surface();
        const int left = (cycle - position) * 10;
        QCOMPARE(image.pixelColor(left + 2, y), TraceFixture::colourOf(event));
        QCOMPARE(image.pixelColor(left, y), QColor(Qt::black));
        if (left > 0)
            QCOMPARE(image.pixelColor(left - 1, y), QColor(Qt::white));
    }

    void highlightOutlinesTheBlocksOfOnePc()
    {
        configure(1);
        TraceFixture::addTraceBlock(*trace, "decode", 3, 8, -1);
        TraceFixture::addTraceBlock(*trace, "decode", 4, 16, -1);
        TraceFixture::addTraceBlock(*trace, "decode", 6, 12, -1);
        TraceFixture::addTraceBlock(*trace, "commit", 9, 8, -1);
        const QColor orange(255, 140, 0);
        auto outline = [this](int column, int row) {
            return surface().pixelColor(column * 10, row * 10 + 5);
        };
        view->displayPcTraceCycle(8);
        QCOMPARE(outline(3, 1), orange);
        QCOMPARE(outline(4, 1), orange); // over the block drawn after it
        QCOMPARE(outline(9, 0), orange);
        QCOMPARE(outline(6, 1), QColor(Qt::black));
        view->repaintHorizontalSliderMoved(2, true); // the outline stays while scrolling
        QCOMPARE(outline(1, 1), orange);
        view->displayPcTraceCycle(12);
        QCOMPARE(outline(1, 1), QColor(Qt::black));
        QCOMPARE(outline(4, 1), orange);
    }

    // Before the controller's first call sizes and counts are 0: an empty view, presses ignored.
    void nothingIsKnownYet()
    {
        view->setGraphicTrace(*trace);
        view->setTabConfig(TraceFixture::tabConfig());
        view->setLargeurBlock(10);
        TraceFixture::addTraceBlock(*trace, "commit", 0, 4, -1);
        view->repaint();
        QCOMPARE(surface().pixelColor(5, 5), QColor(Qt::white));
        QSignalSpy requests(view.get(), &TraceWidgetCycle::displayPcTracePc);
        for (Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton})
            QTest::mousePress(view->getGraphicBlockWidget(), button, {}, QPoint(5, 5));
        QVERIFY(view->getPopupInfo()->isHidden());
        QCOMPARE(requests.count(), 0);
    }

    void pressesAnswer_data()
    {
        QTest::addColumn<int>("niveau");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("popup");   // empty: none shown
        QTest::addColumn<QPoint>("corner");   // of the popup
        QTest::addColumn<QString>("request"); // "pc cycle" of displayPcTracePc, empty: none

        // "fetch" (row 3) pc 4096 at cycle 12, surface (120..129, 30..39); "commit" pc 4100 at
        // 13 and 27; at level 10 a zoom block "decode" counting 3 of the cycles 40..49
        // (column 4, row 1), at level 1 a block without pc at cycle 4.
        const QString block = QStringLiteral("Cycle : 12\nEvent : fetch\nPc : 4096"); // 98 x 56
        const Qt::MouseButton right = Qt::RightButton;
        const QPoint none;
        QTest::newRow("right, block's first pixel")
            << 1 << right << QPoint(120, 30) << block << QPoint(135, 30) << "";
        QTest::newRow("left, block's last line")
            << 1 << Qt::LeftButton << QPoint(121, 39) << "" << none << "4096 12";
        QTest::newRow("middle") << 1 << Qt::MiddleButton << QPoint(125, 35) << "" << none << "";
        QTest::newRow("empty cycle") << 1 << right << QPoint(145, 35) << "" << none << "";
        QTest::newRow("other row") << 1 << right << QPoint(125, 25) << "" << none << "";
        QTest::newRow("below the rows") << 1 << right << QPoint(125, 45) << "" << none << "";
        QTest::newRow("zoom rate")
            << 10 << right << QPoint(45, 15) << "Cycle : 40\nEvent : decode\nRate : 30 %"
            << QPoint(60, 15) << "";
        QTest::newRow("zoom, left") << 10 << Qt::LeftButton << QPoint(45, 15) << "" << none << "";
        QTest::newRow("no pc at level 1")
            << 1 << right << QPoint(45, 15) << "Cycle : 4\nEvent : decode" << QPoint(60, 15) << "";
        // Near the right edge the popup goes to the other side of the pointer.
        QTest::newRow("right edge")
            << 1 << right << QPoint(275, 5) << "Cycle : 27\nEvent : commit\nPc : 4100"
            << QPoint(275 - 104, 5) << "";
    }
    void pressesAnswer()
    {
        QFETCH(int, niveau);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPoint, at);
        QFETCH(QString, popup);
        configure(niveau);
        TraceFixture::addTraceBlock(*trace, "fetch", 12, 4096, -1);
        TraceFixture::addTraceBlock(*trace, "commit", 13, 4100, -1);
        TraceFixture::addTraceBlock(*trace, "commit", 27, 4100, -1);
        TraceFixture::addZoomBlock(*trace, "decode", niveau == 10 ? 40 : 4, niveau, 3);
        const int keys = trace->getSizeTabCycle();
        QSignalSpy requests(view.get(), &TraceWidgetCycle::displayPcTracePc);

        QTest::mousePress(view->getGraphicBlockWidget(), button, {}, at);
        PopupInfo *info = view->getPopupInfo();
        QCOMPARE(info->isVisible() ? info->text() : QString(), popup);
        if (!popup.isEmpty())
            QTEST(info->pos(), "corner");
        QTEST(requests.isEmpty() ? QString()
                                 : requests[0][0].toString() + ' ' + requests[0][1].toString(),
              "request");
        // A press on an empty cell of a configured row leaves an empty entry behind.
        QCOMPARE(trace->getSizeTabCycle(),
                 keys + (QTest::currentDataTag() == QLatin1String("empty cycle")));
        QTest::mouseRelease(view->getGraphicBlockWidget(), button, {}, at);
        QVERIFY(info->isHidden());
    }

    void stepsStopAtTheEnds()
    {
        configure(1); // 100 cycles, 29 columns
        checkHorizontalEnds(*view, 72);
        // 10 events, 4 rows fit: rows 0..7; vertical moves ask for no file.
        QSignalSpy next(view.get(), &TraceWidgetCycle::nextCycle);
        QSignalSpy prev(view.get(), &TraceWidgetCycle::prevCycle);
        view->setNbConfigEvent(10);
        view->setNbBlockVerticalToPaint(4);
        view->initScrollBar();
        QScrollBar *vertical = view->getVerticalScrollBar();
        QCOMPARE(vertical->maximum(), 7);
        for (int i = 0; i < 5; ++i)
            vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(view->getPositionVertical(), 7);
        vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(view->getPositionVertical(), 6);
        QCOMPARE(next.count() + prev.count(), 0);
        // Any total may come from the parameters: one far below 0 leaves the bar no room.
        view->setNbCycleTotal(INT_MIN);
        view->initScrollBar();
        QCOMPARE(view->getHorizontalScrollBar()->maximum(), 0);
    }

    // A parser thread adds blocks, drops cycles and hands the store over while the view
    // paints and answers presses (run under ThreadSanitizer too).
    void parserThreadFillsTheStoreMeanwhile()
    {
        configure(1);
        GraphicTrace other;
        std::atomic<bool> done{false};
        std::thread parser([&] {
            for (int i = 0; i < 3000; ++i) {
                TraceFixture::addTraceBlock(*trace, "fetch", i % 40, 4096, -1);
                if (i % 100 == 99)
                    trace->deleteElementsTabCycle(0, 20);
                view->setGraphicTrace(i % 7 ? *trace : other);
            }
            view->setGraphicTrace(*trace);
            done = true;
        });
        while (!done) {
            view->repaint();
            QTest::mousePress(view->getGraphicBlockWidget(), Qt::RightButton, {}, QPoint(255, 35));
        }
        parser.join();
        view->repaint();
        QCOMPARE(surface().pixelColor(255, 35), TraceFixture::colourOf(QStringLiteral("fetch")));
    }
};

QTEST_MAIN(TestTraceWidgetCycle)
#include "tst_traceWidgetCycle.moc"
