#include "core/graphicTrace.h"
#include "gui/popupInfo.h"
#include "gui/traceWidgetPc.h"
#include "traceFixture.h"
#include "viewChecks.h"

#include <climits>

// A PC view with rows of 12 pixels: pcs 100, 104, 108, 112 at y 0, 12, 24, 36, 26 columns.
// Blocks: decode and fetch of pc 104 at cycle 3, decode of 104 at 4, commit of 108 at 3,
// execute of 112 at 5; pc 100 listed without blocks.
class TestTraceWidgetPc : public QObject
{
    Q_OBJECT

    std::unique_ptr<GraphicTrace> trace;
    std::unique_ptr<TraceWidgetPc> view;

private slots:
    void init()
    {
        trace = std::make_unique<GraphicTrace>();
        view = shownView<TraceWidgetPc>("traceWidgetPc");
        QVERIFY(view);
        view->setGraphicTrace(*trace);
        view->setLargeurBlock(12);
        view->setHauteurBlock(12);
        view->setNbBlockHorizontalToPaint(26);
        view->setNbCycleTotal(100);
        view->initHorizontalScrollBar();
        view->initVerticalScrollBar(0, 400, 12, 120);
        view->setTabPositionPc({{100, 0}, {104, 12}, {108, 24}, {112, 36}});
        view->setNumFirstPcToPaint(100);
        view->setNumLastPcToPaint(112);
        TraceFixture::addTraceBlock(*trace, "decode", 3, 104, 12);
        TraceFixture::addTraceBlock(*trace, "decode", 4, 104, 12);
        TraceFixture::addTraceBlock(*trace, "fetch", 3, 104, 12);
        TraceFixture::addTraceBlock(*trace, "commit", 3, 108, 24);
        TraceFixture::addTraceBlock(*trace, "execute", 5, 112, 36);
        std::lock_guard<std::recursive_mutex> lock(trace->mutex());
        trace->updatePositionYTracePc(100, 0);
    }
    void cleanup()
    {
        view.reset();
        trace.reset();
    }

    void paintFollowsPositionsAndPcBounds_data()
    {
        QTest::addColumn<int>("horizontal");
        QTest::addColumn<int>("vertical");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("drawn"); // pcs whose block shows
        QTest::newRow("whole listing") << 0 << 0 << 100 << 112 << "108 112";
        QTest::newRow("three cycles on") << 3 << 0 << 100 << 112 << "108 112";
        QTest::newRow("ten pixels down") << 0 << 10 << 100 << 112 << "108 112";
        QTest::newRow("last excludes 112") << 0 << 0 << 100 << 108 << "108";
        QTest::newRow("first pc never run") << 0 << 0 << 102 << 112 << "108 112";
        QTest::newRow("last below first") << 0 << 0 << 112 << 100 << "";
        QTest::newRow("nothing loaded yet") << 0 << 0 << -1 << -1 << "";
    }
    void paintFollowsPositionsAndPcBounds()
    {
        QFETCH(int, horizontal);
        QFETCH(int, vertical);
        QFETCH(int, first);
        QFETCH(int, last);
        view->setNumFirstPcToPaint(first);
        view->setNumLastPcToPaint(last);
        view->updateScrollBarValue(vertical, horizontal);
        QCOMPARE(view->getPositionVertical(), vertical);
        QCOMPARE(view->getHorizontalScrollBar()->value(), horizontal);

        // commit of 108 at cycle 3, execute of 112 at cycle 5: their inside and top outline.
        const QImage image = surfaceOf(*view);
        QStringList shown;
        for (auto [pc, cycle, event] :
             {std::tuple(108, 3, "commit"), std::tuple(112, 5, "execute")}) {
            const int x = (cycle - horizontal) * 12 + 6;
            const int top = (pc - 100) * 3 - vertical;
            if (image.pixelColor(x, top + 6) ==
                TraceFixture::colourOf(QString::fromLatin1(event))) {
                QCOMPARE(image.pixelColor(x, top), QColor(Qt::black));
                shown << QString::number(pc);
            }
        }
        QTEST(shown.join(QLatin1Char(' ')), "drawn");
    }

    void pressesAnswer_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("vertical");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("popup");

        const QString two = QStringLiteral("Cycle : 3\nPc : 104\nEvent : decode\nEvent : fetch");
        const Qt::MouseButton right = Qt::RightButton;
        QTest::newRow("row's first line, two events") << right << 0 << QPoint(40, 12) << two;
        QTest::newRow("row's end is the next row")
            << right << 0 << QPoint(40, 24) << "Cycle : 3\nPc : 108\nEvent : commit";
        QTest::newRow("scrolled") << right << 10 << QPoint(40, 2) << two;
        QTest::newRow("no event then") << right << 0 << QPoint(64, 15) << "";
        QTest::newRow("listed, no block") << right << 0 << QPoint(40, 5) << "";
        QTest::newRow("below the listing") << right << 0 << QPoint(40, 60) << "";
        QTest::newRow("left never shows one") << Qt::LeftButton << 0 << QPoint(40, 15) << "";
        QTest::newRow("no block width yet") << right << 0 << QPoint(40, 15) << "";
    }
    void pressesAnswer()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, vertical);
        QFETCH(QPoint, at);
        QFETCH(QString, popup);
        view->updateScrollBarValue(vertical, 0);
        PopupInfo *info = view->getPopupInfo();
        // A popup still up from an earlier press goes on any release.
        QTest::mousePress(view->getGraphicBlockWidget(), Qt::RightButton, {}, QPoint(40, 15));
        QVERIFY(info->isVisible());
        QTest::mouseRelease(view->getGraphicBlockWidget(), button, {}, QPoint(40, 15));
        QVERIFY(info->isHidden());

        if (QTest::currentDataTag() == QLatin1String("no block width yet"))
            view->setLargeurBlock(0); // as before the controller's first call
        QTest::mousePress(view->getGraphicBlockWidget(), button, {}, at);
        QCOMPARE(info->isVisible() ? info->text() : QString(), popup);
        if (!popup.isEmpty())
            QCOMPARE(info->pos(), at + QPoint(15, 0));
    }

    // With columns as wide as the table's rows make them, two-digit labels would touch: those
    // written stand at least a space apart.
    void stripLabelsStandApart()
    {
        view->setLargeurBlock(18);
        view->repaintHorizontalSliderMoved(10, true);
        const QImage strip =
            view->grab(QRect(0, 0, view->getGraphicBlockWidget()->width(), 16)).toImage();
        // A tick under each label's start (digits do not reach y 14), its text to the right.
        QList<int> gaps;
        int lastInk = -1;
        for (int x = 0; x < strip.width(); ++x) {
            if (strip.pixelColor(x, 14).lightness() < 128 && lastInk >= 0)
                gaps << x - lastInk - 1;
            for (int y = 0; y < 11; ++y)
                lastInk = strip.pixelColor(x, y).lightness() < 128 ? x : lastInk;
        }
        QVERIFY(gaps.size() >= 5);
        const int space = view->fontMetrics().horizontalAdvance(QLatin1Char(' '));
        for (int gap : std::as_const(gaps))
            QVERIFY2(gap >= space, qPrintable(QString::number(gap)));
    }

    void stepsStopAtTheEnds()
    {
        checkHorizontalEnds(*view, 75); // 100 cycles, 26 columns
        // Vertical: the bar's own clicks go out for the table; the table's come in and move
        // the bar too, limited to the range 0..400.
        QScrollBar *vertical = view->getVerticalScrollBar();
        QSignalSpy toTable(view.get(), &TraceWidgetPc::verticalNextLine);
        QTest::mouseClick(vertical, Qt::LeftButton, {},
                          QPoint(vertical->width() / 2, vertical->height() - 5));
        QCOMPARE(view->getPositionVertical(), 12);
        QCOMPARE(toTable.count(), 1);
        view->setVerticalScrollBarSliderValue(390);
        view->setValueNextLineTableAsm();
        QCOMPARE(view->getPositionVertical(), 400);
        QCOMPARE(vertical->value(), 400);
        for (int i = 0; i < 4; ++i)
            view->setValuePrevPageTableAsm();
        QCOMPARE(view->getPositionVertical(), 0);
        QCOMPARE(vertical->value(), 0);
        QCOMPARE(toTable.count(), 1);
        // Any total may come from the parameters: one far below 0 leaves the bar no room.
        view->setNbCycleTotal(INT_MIN);
        view->initHorizontalScrollBar();
        QCOMPARE(view->getHorizontalScrollBar()->maximum(), 0);
    }
};

QTEST_MAIN(TestTraceWidgetPc)
#include "tst_traceWidgetPc.moc"
