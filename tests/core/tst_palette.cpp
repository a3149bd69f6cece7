#include "core/config.h"
#include "core/couleur.h"

#include <QTest>

class TestPalette : public QObject
{
    Q_OBJECT

private slots:
    void firstEntryOfANameWins()
    {
        Config config;
        ConfigEvent first(3);
        first.setBrush(QBrush(Qt::red));
        config.addConfigEvent(QStringLiteral("fetch"), first);
        config.addConfigEvent(QStringLiteral("fetch"), ConfigEvent(7));
        QCOMPARE(config.getTabConfig().size(), size_t(1));
        const ConfigEvent kept = config.getTabConfig().at(QStringLiteral("fetch"));
        QCOMPARE(kept.getPosition(), 3);
        QCOMPARE(kept.getBrush(), QBrush(Qt::red));
    }

    void namesSortByCharacterCode()
    {
        Config config;
        const QStringList names = {QStringLiteral("issue"), QStringLiteral("Stall"),
                                   QStringLiteral("commit"), QStringLiteral("Zero"),
                                   QStringLiteral("_x")};
        for (int i = 0; i < names.size(); ++i)
            config.addConfigEvent(names[i], ConfigEvent(i));
        QStringList order;
        for (const auto &entry : config.getTabConfig())
            order << entry.first;
        QCOMPARE(order,
                 QStringList({QStringLiteral("Stall"), QStringLiteral("Zero"), QStringLiteral("_x"),
                              QStringLiteral("commit"), QStringLiteral("issue")}));
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
        QTest::newRow("first") << 0 << QColor(0, 0, 255) << Qt::SolidPattern;
        QTest::newRow("gray") << 6 << QColor(160, 160, 164) << Qt::SolidPattern;
        QTest::newRow("second magenta") << 16 << QColor(255, 0, 255) << Qt::SolidPattern;
        QTest::newRow("last solid") << 25 << QColor(143, 188, 143) << Qt::SolidPattern;
        QTest::newRow("27th event") << 26 << QColor(0, 0, 255) << Qt::Dense1Pattern;
        QTest::newRow("28th event") << 27 << QColor(255, 0, 0) << Qt::Dense1Pattern;
        QTest::newRow("last distinct") << 363 << QColor(143, 188, 143) << Qt::DiagCrossPattern;
        QTest::newRow("365th event starts over") << 364 << QColor(0, 0, 255) << Qt::SolidPattern;
        QTest::newRow("366th event") << 365 << QColor(255, 0, 0) << Qt::SolidPattern;
        QTest::newRow("second round, dense") << 364 + 27 << QColor(255, 0, 0) << Qt::Dense1Pattern;
        QTest::newRow("negative") << -1 << QColor() << Qt::NoBrush;
    }

    void brushNumbering()
    {
        QFETCH(int, k);
        QFETCH(QColor, colour);
        QFETCH(Qt::BrushStyle, style);
        const QBrush brush = Couleur().brush(k);
        QCOMPARE(brush.style(), style);
        if (style != Qt::NoBrush)
            QCOMPARE(brush.color(), colour);
    }

    void tablesInOrder()
    {
        const Couleur couleur;
        const Couleur::TabCouleur colours = couleur.getTabCouleur();
        QCOMPARE(colours.size(), size_t(26));
        QCOMPARE(colours[9], QColor(47, 79, 79));
        QCOMPARE(colours[13], QColor(165, 42, 42));
        QCOMPARE(colours[24], QColor(240, 230, 140));
        const Couleur::TabStyle styles = couleur.getTabStyle();
        QCOMPARE(styles.size(), size_t(14));
        for (size_t i = 0; i < styles.size(); ++i)
            QCOMPARE(int(styles[i]), int(i) + 1);
    }
};

QTEST_GUILESS_MAIN(TestPalette)
#include "tst_palette.moc"
