#include "core/config.h"
#include "core/couleur.h"

#include <QTest>

class TestPalette : public QObject
{
    Q_OBJECT

private slots:
    // An event the configuration does not declare gets no row and no brush. (The order and
    // the positions of declared ones are the configuration parser's test's.)
    void undeclaredEvent()
    {
        const ConfigEvent undeclared = Config().getTabConfig()[QStringLiteral("squash")];
        QCOMPARE(undeclared.getPosition(), -1);
        QCOMPARE(undeclared.getBrush().style(), Qt::NoBrush);
    }

    void brushNumbering_data()
    {
        QTest::addColumn<int>("k");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<Qt::BrushStyle>("style");
        QTest::newRow("gray") << 6 << QColor(160, 160, 164) << Qt::SolidPattern;
        QTest::newRow("after black") << 9 << QColor(47, 79, 79) << Qt::SolidPattern;
        QTest::newRow("second magenta") << 16 << QColor(255, 0, 255) << Qt::SolidPattern;
        QTest::newRow("last solid") << 25 << QColor(143, 188, 143) << Qt::SolidPattern;
        QTest::newRow("27th event") << 26 << QColor(0, 0, 255) << Qt::Dense1Pattern;
        QTest::newRow("28th event") << 27 << QColor(255, 0, 0) << Qt::Dense1Pattern;
        QTest::newRow("third pattern") << 2 * 26 + 13 << QColor(165, 42, 42) << Qt::Dense2Pattern;
        QTest::newRow("last pattern")
            << 13 * 26 + 24 << QColor(240, 230, 140) << Qt::DiagCrossPattern;
        QTest::newRow("365th event starts over") << 364 << QColor(0, 0, 255) << Qt::SolidPattern;
        QTest::newRow("negative") << -1 << QColor(0, 0, 0) << Qt::NoBrush;
    }

    void brushNumbering()
    {
        QFETCH(int, k);
        const QBrush brush = Couleur().brush(k);
        QTEST(brush.style(), "style");
        QTEST(brush.color(), "colour");
    }
};

QTEST_GUILESS_MAIN(TestPalette)
#include "tst_palette.moc"
