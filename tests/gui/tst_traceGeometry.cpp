#include "gui/traceGeometry.h"

#include <QTest>

using namespace TraceGeometry;

class TestTraceGeometry : public QObject
{
    Q_OBJECT

private slots:
    void mainLayoutPlacesTheDataWidgets_data()
    {
        QTest::addColumn<QSize>("toolBar");
        QTest::addColumn<Qt::Orientation>("orientation");
        QTest::addColumn<bool>("justChanged");
        QTest::addColumn<QRect>("cycle");
        QTest::addColumn<QRect>("table");
        QTest::addColumn<QRect>("pc");

        // Window 640 x 480, menu bar 20, status bar 20, table 100 wide.
        // Horizontal tool bar 39 high: B = 401, an odd height that loses one pixel.
        QTest::newRow("horizontal")
            << QSize(600, 39) << Qt::Horizontal << false << QRect(0, 0, 640, 200)
            << QRect(0, 204, 100, 179) << QRect(100, 204, 540, 193);
        QTest::newRow("vertical") << QSize(39, 400) << Qt::Vertical << false
                                  << QRect(0, 0, 601, 220) << QRect(0, 224, 100, 199)
                                  << QRect(100, 224, 501, 213);
        // Right after a change the tool bar still has its old shape: its extents are crossed.
        QTest::newRow("just made vertical")
            << QSize(600, 39) << Qt::Vertical << true << QRect(0, 0, 601, 220)
            << QRect(0, 224, 100, 199) << QRect(100, 224, 501, 213);
        QTest::newRow("just made horizontal")
            << QSize(39, 400) << Qt::Horizontal << true << QRect(0, 0, 640, 200)
            << QRect(0, 204, 100, 179) << QRect(100, 204, 540, 193);
    }

    void mainLayoutPlacesTheDataWidgets()
    {
        QFETCH(QSize, toolBar);
        QFETCH(Qt::Orientation, orientation);
        QFETCH(bool, justChanged);
        const MainLayout layout =
            mainLayout(QSize(640, 480), 20, 20, toolBar, orientation, justChanged, 100);
        QTEST(layout.traceCycle, "cycle");
        QTEST(layout.tableAsm, "table");
        QTEST(layout.tracePc, "pc");
    }

    void frameLayoutOfAView()
    {
        const FrameLayout layout = frameLayout(QSize(300, 200));
        QCOMPARE(layout.infoBar, QRect(0, 0, 300, 20));
        QCOMPARE(layout.surface, QRect(0, 20, 283, 163));
        QCOMPARE(layout.horizontalBar, QRect(0, 183, 283, 17));
        QCOMPARE(layout.verticalBar, QRect(283, 0, 17, 183));
    }

    void stripLabelsLeaveRoomForTheirText_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("digit");        // > 0: a label takes its digits and 4 pixels of gap
        QTest::addColumn<QString>("expected"); // "x:text" pairs

        QTest::newRow("one digit, then every other two-digit")
            << 0 << 1 << 15 << 10 << 0
            << "0:0 10:1 20:2 30:3 40:4 50:5 60:6 70:7 80:8 90:9 110:11 130:13";
        QTest::newRow("narrow columns skip column 0") << 0 << 1 << 6 << 5 << 0 << "5:1 15:3 25:5";
        QTest::newRow("zoom 10, three digits every other")
            << 40 << 10 << 10 << 20 << 0 << "0:40 20:50 40:60 60:70 80:80 100:90 140:110 180:130";
        QTest::newRow("three digits every third column")
            << 100 << 1 << 9 << 10 << 0 << "20:102 50:105 80:108";
        QTest::newRow("strict comparison: 9 pixels are not enough for 9")
            << 0 << 1 << 3 << 9 << 0 << "9:1";
        QTest::newRow("no width yet") << 0 << 1 << 10 << 0 << 0 << "";
        // Digits wider than the estimate: a label that would run into the one before waits.
        QTest::newRow("pc view, two digits in 18 pixels")
            << 10 << 1 << 6 << 18 << 8 << "0:10 36:12 72:14";
        QTest::newRow("two digits still fit 20 pixels")
            << 40 << 10 << 3 << 20 << 8 << "0:40 20:50 40:60";
        QTest::newRow("five digits") << 10000 << 1 << 6 << 20 << 8 << "20:10001 80:10004";
    }

    void stripLabelsLeaveRoomForTheirText()
    {
        QFETCH(int, first);
        QFETCH(int, step);
        QFETCH(int, columns);
        QFETCH(int, width);
        QFETCH(int, digit);
        const auto footprint = [digit](const QString &text) {
            return int(text.size()) * digit + 4;
        };
        QStringList actual;
        for (const StripLabel &label : digit > 0
                                           ? stripLabels(first, step, columns, width, footprint)
                                           : stripLabels(first, step, columns, width))
            actual << QString::number(label.x) + QLatin1Char(':') + label.text;
        QTEST(actual.join(QLatin1Char(' ')), "expected");
    }

    void popupSizeFollowsTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSize>("size");

        QTest::newRow("cycle view block") << "Cycle : 120\nEvent : X\nPc : 4096" << QSize(86, 56);
        QTest::newRow("one line of 10") << "0123456789" << QSize(80, 32);
        // The last line counts one character more than it has.
        QTest::newRow("longest last line") << "ab\nabcd" << QSize(50, 44);
        QTest::newRow("ends in newline") << "abcd\n" << QSize(44, 44);
        QTest::newRow("empty last line is 1") << "\n" << QSize(26, 44);
        QTest::newRow("empty") << "" << QSize(20, 32);
    }

    void popupSizeFollowsTheText()
    {
        QFETCH(QString, text);
        QTEST(popupSize(text), "size");
    }

    void popupStaysInsideTheSurface_data()
    {
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("corner");

        // Popup 86 x 56 on a surface 300 x 163.
        QTest::newRow("room on the right") << QPoint(100, 20) << QPoint(115, 20);
        QTest::newRow("flipped left") << QPoint(250, 20) << QPoint(164, 20);
        QTest::newRow("one pixel too far") << QPoint(200, 20) << QPoint(114, 20);
        QTest::newRow("flipped up") << QPoint(100, 150) << QPoint(115, 94);
        QTest::newRow("bottom right corner") << QPoint(290, 160) << QPoint(204, 104);
    }

    void popupStaysInsideTheSurface()
    {
        QFETCH(QPoint, press);
        QTEST(popupPosition(press.x(), press.y(), QSize(86, 56), QSize(300, 163)), "corner");
    }

    void rateOfAZoomBlock_data()
    {
        QTest::addColumn<int>("nbEvent");
        QTest::addColumn<int>("niveau");
        QTest::addColumn<QString>("rate");

        QTest::newRow("3 of 10") << 3 << 10 << "30";
        QTest::newRow("1 of 3") << 1 << 3 << "33.3333";
        QTest::newRow("2 of 3") << 2 << 3 << "66.6667";
        QTest::newRow("1 of 100") << 1 << 100 << "1";
    }

    void rateOfAZoomBlock()
    {
        QFETCH(int, nbEvent);
        QFETCH(int, niveau);
        QTEST(rateText(nbEvent, niveau), "rate");
    }
};

QTEST_APPLESS_MAIN(TestTraceGeometry)
#include "tst_traceGeometry.moc"
