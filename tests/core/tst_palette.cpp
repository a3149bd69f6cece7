#include "core/config.h"
#include "core/couleur.h"

#include <QTest>

class TestPalette : public QObject
{
    Q_OBJECT

private slots:
    void eventTable()
    {
        Config config;
        int position = 0;
        for (const char *name : {"issue", "Stall", "commit", "Zero", "_x", "issue"})
            config.addConfigEvent(QLatin1String(name), ConfigEvent(position++));
        QCOMPARE(config.getTabConfig().at(QStringLiteral("issue")).getPosition(), 0);
        QStringList order;
        for (const auto &entry : config.getTabConfig())
            order << entry.first;
        QCOMPARE(order, QString("Stall Zero _x commit issue").split(' '));
        // An undeclared name looked up by subscript reads as "not configured".
        const ConfigEvent undeclared = config.getTabConfig()[QStringLiteral("squash")];
        QCOMPARE(undeclared.getPosition(), -1);
        QCOMPARE(undeclared.getBrush().style(), Qt::NoBrush);
    }

    void brushNumbering_data()
    {
        QTest::addColumn<int>("k");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<Qt::BrushStyle>("style");
        auto row = [](const char *name, int k, QColor colour, Qt::BrushStyle style) {
            QTest::newRow(name) << k << colour << style;
        };
        row("first", 0, QColor(0, 0, 255), Qt::SolidPattern);
        row("gray", 6, QColor(160, 160, 164), Qt::SolidPattern);
        row("after black", 9, QColor(47, 79, 79), Qt::SolidPattern);
        row("second magenta", 16, QColor(255, 0, 255), Qt::SolidPattern);
        row("last solid", 25, QColor(143, 188, 143), Qt::SolidPattern);
        row("27th event", 26, QColor(0, 0, 255), Qt::Dense1Pattern);
        row("28th event", 27, QColor(255, 0, 0), Qt::Dense1Pattern);
        row("third pattern", 2 * 26 + 13, QColor(165, 42, 42), Qt::Dense2Pattern);
        row("last pattern", 13 * 26 + 24, QColor(240, 230, 140), Qt::DiagCrossPattern);
        row("365th event starts over", 364, QColor(0, 0, 255), Qt::SolidPattern);
        row("second round, dense", 364 + 27, QColor(255, 0, 0), Qt::Dense1Pattern);
        row("negative", -1, QColor(0, 0, 0), Qt::NoBrush);
    }

    void brushNumbering()
    {
        QFETCH(int, k);
        QFETCH(QColor, colour);
        QFETCH(Qt::BrushStyle, style);
        const QBrush brush = Couleur().brush(k);
        QCOMPARE(brush.style(), style);
        QCOMPARE(brush.color(), colour);
    }
};

QTEST_GUILESS_MAIN(TestPalette)
#include "tst_palette.moc"
