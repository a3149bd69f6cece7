#include "core/configEvent.h"
#include "dialogs/colorsLegendWidget.h"
#include "dialogs/legendDialog.h"

#include <QImage>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTabWidget>
#include <QTest>

namespace {

using Growth = QList<QPair<int, int>>;
using Table = std::map<QString, ConfigEvent>;

// count events named so that the longest has longest characters.
Table events(int count, int longest)
{
    Table table;
    for (int i = 0; i < count; ++i) {
        const int length = i == 0 ? longest : 1 + i % std::max(1, longest);
        QString name = QString(QChar(u'a' + i)).repeated(std::min(length, longest));
        ConfigEvent event(i);
        event.setBrush(QBrush(Qt::blue));
        table.emplace(name, event);
    }
    return table;
}

ConfigEvent coloured(int position, const QBrush &brush)
{
    ConfigEvent event(position);
    event.setBrush(brush);
    return event;
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
        QTest::addColumn<Qt::ScrollBarPolicy>("horizontal");
        QTest::addColumn<Qt::ScrollBarPolicy>("vertical");
        using L = Growth;
        const auto asNeeded = Qt::ScrollBarAsNeeded;
        const auto on = Qt::ScrollBarAlwaysOn;
        const auto off = Qt::ScrollBarAlwaysOff;
        QTest::newRow("no event") << L{{0, 0}} << QSize(196, 151) << asNeeded << asNeeded;
        QTest::newRow("6 events fit exactly")
            << L{{6, 23}} << QSize(196, 151) << asNeeded << asNeeded;
        QTest::newRow("7 events") << L{{7, 3}} << QSize(196, 180) << off << on;
        QTest::newRow("24 characters") << L{{2, 24}} << QSize(203, 151) << on << off;
        QTest::newRow("7 events, 24 characters") << L{{7, 24}} << QSize(203, 180) << on << on;
        QTest::newRow("never shrinks") << L{{9, 3}, {2, 3}, {0, 0}} << QSize(196, 230) << off << on;
        // Growing in height after width keeps the stored width, margin off.
        QTest::newRow("wide then tall") << L{{2, 30}, {8, 3}} << QSize(245 - 4, 205) << off << on;
        QTest::newRow("tall then wide") << L{{8, 3}, {2, 30}} << QSize(245, 205 - 4) << on << off;
    }
    void sizesAndScrollBars()
    {
        QFETCH(Growth, tables);
        QFETCH(QSize, size);
        QFETCH(Qt::ScrollBarPolicy, horizontal);
        QFETCH(Qt::ScrollBarPolicy, vertical);
        LegendDialog dialog(nullptr, QStringLiteral("Legend"));
        for (const auto &[count, longest] : tables)
            dialog.setTabConfig(events(count, longest));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.legendWidget()->size(), size);
        QCOMPARE(dialog.scrollView()->horizontalScrollBarPolicy(), horizontal);
        QCOMPARE(dialog.scrollView()->verticalScrollBarPolicy(), vertical);
        // Painting again, as every expose does, changes nothing.
        dialog.legendWidget()->repaint();
        QCOMPARE(dialog.legendWidget()->size(), size);
    }

    void dialogFrame()
    {
        LegendDialog dialog(nullptr, QStringLiteral("Legend"));
        QVERIFY(!dialog.isModal());
        auto *tabs = dialog.findChild<QTabWidget *>();
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Events' Colors"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.scrollView()->size(), QSize(200, 155)); // nothing of the page cut off
    }

    void swatchesInNameOrder()
    {
        // Character-code order: upper case before lower case.
        Table table;
        table.emplace(QStringLiteral("load"), coloured(0, QBrush(Qt::red)));
        table.emplace(QStringLiteral("Fetch"), coloured(1, QBrush(QColor(34, 139, 34))));
        table.emplace(QStringLiteral("commit"), coloured(2, QBrush(Qt::blue)));
        table.emplace(QStringLiteral("stall"), coloured(3, QBrush(Qt::magenta, Qt::Dense4Pattern)));
        ColorsLegendWidget widget;
        const QImage blank = widget.grab().toImage();
        widget.setTabConfig(table);
        const QImage image = widget.grab().toImage();

        const QList<QColor> fills = {QColor(34, 139, 34), Qt::blue, Qt::red};
        for (int k = 0; k < 4; ++k) {
            const int top = 5 + 25 * k;
            if (k < fills.size())
                QCOMPARE(image.pixelColor(20, top + 10), fills[k]);
            // An outlined swatch of 20 x 20, 5 pixels above the next one, a gap, then the name:
            // some dark pixels right of the swatch.
            for (const QPoint edge : {QPoint(10, top + 10), QPoint(29, top + 10), QPoint(20, top),
                                      QPoint(20, top + 19)})
                QCOMPARE(image.pixelColor(edge), QColor(Qt::black));
            for (const QPoint outside : {QPoint(30, top + 10), QPoint(20, top + 20)})
                QVERIFY(image.pixelColor(outside) != QColor(Qt::black));
            bool text = false;
            for (int x = 35; x < 80 && !text; ++x)
                for (int y = top; y < top + 20 && !text; ++y)
                    text = image.pixelColor(x, y).lightness() < 128;
            QVERIFY2(text, qPrintable(QStringLiteral("no name on row %1").arg(k)));
        }
        // A patterned brush leaves the background showing through between its dots.
        QSet<QRgb> stall;
        for (int x = 12; x < 29; ++x)
            stall.insert(image.pixel(x, 5 + 75 + 10));
        QVERIFY(stall.contains(QColor(Qt::magenta).rgb()) && stall.size() > 1);
        // An empty table afterwards leaves nothing behind.
        widget.setTabConfig({});
        QCOMPARE(widget.grab().toImage(), blank);
    }
};

QTEST_MAIN(TestLegend)
#include "tst_legend.moc"
