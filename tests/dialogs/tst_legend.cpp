#include "core/configEvent.h"
#include "dialogs/colorsLegendWidget.h"
#include "dialogs/legendDialog.h"

#include <QImage>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>

namespace {

using Growth = QList<QPair<int, int>>; // tables given in turn: events, longest name
using Table = std::map<QString, ConfigEvent>;

// count events, the first named with `longest` characters, the others with no more.
Table events(int count, int longest)
{
    Table table;
    for (int i = 0; i < count; ++i)
        table.emplace(QString(QChar(u'a' + i)).repeated(i == 0 ? longest : 1 + i % longest),
                      ConfigEvent(i));
    return table;
}

} // namespace

class TestLegend : public QObject
{
    Q_OBJECT

private slots:
    void sizesAndScrollBars_data()
    {
        QTest::addColumn<Growth>("tables");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("bars"); // horizontal, vertical: a as needed, + on, - off
        const auto row = [](const char *tag, const Growth &tables, int w, int h, const char *bars) {
            QTest::newRow(tag) << tables << QSize(w, h) << QString(bars);
        };
        row("6 events fit exactly", {{6, 23}}, 196, 151, "aa");
        row("7 events", {{7, 3}}, 196, 180, "-+");
        row("24 characters", {{2, 24}}, 203, 151, "+-");
        row("7 events, 24 characters", {{7, 24}}, 203, 180, "++");
        row("never shrinks", {{9, 3}, {2, 3}, {0, 0}}, 196, 230, "-+");
        // Growing in height after width keeps the stored width, margin off.
        row("wide then tall", {{2, 30}, {8, 3}}, 245 - 4, 205, "-+");
        row("tall then wide", {{8, 3}, {2, 30}}, 245, 205 - 4, "+-");
    }
    void sizesAndScrollBars()
    {
        QFETCH(Growth, tables);
        LegendDialog dialog(nullptr, "Legend");
        for (const auto &[count, longest] : tables)
            dialog.setTabConfig(events(count, longest));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTEST(dialog.legendWidget()->size(), "size");
        const QScrollArea *view = dialog.scrollView();
        const char *policy = "a-+"; // Qt::ScrollBarPolicy's order
        const QString bars = QString(policy[view->horizontalScrollBarPolicy()]) +
                             policy[view->verticalScrollBarPolicy()];
        QTEST(bars, "bars");
        // Nothing of the page cut off, on its one tab.
        QCOMPARE(view->size(), QSize(200, 155));
        QCOMPARE(dialog.findChild<QTabWidget *>()->tabText(0), "Events' Colors");
    }

    void swatchesInNameOrder()
    {
        ColorsLegendWidget widget;
        const QImage blank = widget.grab().toImage();
        const QStringList names{"load", "Fetch", "commit", "stall"};
        const QList<QBrush> brushes{Qt::red, QColor(34, 139, 34), Qt::blue,
                                    QBrush(Qt::magenta, Qt::Dense4Pattern)};
        Table table;
        for (int i = 0; i < 4; ++i)
            table.emplace(names[i], ConfigEvent(i)).first->second.setBrush(brushes[i]);
        widget.setTabConfig(table);
        const QImage image = widget.grab().toImage();
        // Character-code order, upper case first. An outlined swatch of 20 x 20, 5 pixels above
        // the next one, a gap, then the name.
        const QList<QColor> fills = {QColor(34, 139, 34), Qt::blue, Qt::red};
        for (int k = 0; k < 4; ++k) {
            const int top = 5 + 25 * k;
            QVERIFY(k == 3 || image.pixelColor(20, top + 10) == fills[k]);
            for (const QPoint edge : {QPoint(10, top + 10), QPoint(29, top + 10), QPoint(20, top),
                                      QPoint(20, top + 19)})
                QCOMPARE(image.pixelColor(edge), QColor(Qt::black));
            for (const QPoint outside : {QPoint(30, top + 10), QPoint(20, top + 20)})
                QVERIFY(image.pixelColor(outside) != QColor(Qt::black));
            QVERIFY(image.copy(35, top, 45, 20) != blank.copy(35, top, 45, 20));
        }
        // A patterned brush leaves the background showing through between its dots.
        const QRgb a = image.pixel(12, 90), b = image.pixel(13, 90);
        QVERIFY(a != b && (a == QColor(Qt::magenta).rgb() || b == QColor(Qt::magenta).rgb()));
        // An empty table afterwards leaves nothing behind.
        widget.setTabConfig({});
        QCOMPARE(widget.grab().toImage(), blank);
    }
};

QTEST_MAIN(TestLegend)
#include "tst_legend.moc"
