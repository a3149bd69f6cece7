#include "core/config.h"
#include "core/couleur.h"
#include "core/graphicBlock.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTransform>

class TestGraphicBlock : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        // A block without a pc is not shown in the PC view.
        const GraphicBlock block(QStringLiteral("commit"));
        QCOMPARE(QList<qint64>({block.getPc(), block.getPositionXTracePc()}),
                 QList<qint64>({-1, -1}));
        QCOMPARE(block.getBrush().style(), Qt::NoBrush);
    }

    // Blocks of one event share what looks the same; each still shows exactly its own brush.
    void brushes_data()
    {
        QTest::addColumn<QBrush>("first");
        QTest::addColumn<QBrush>("second");
        const QColor grey(10, 20, 30);
        QTest::newRow("colour") << QBrush(grey) << QBrush(QColor(10, 20, 31));
        QTest::newRow("alpha") << QBrush(grey) << QBrush(QColor(10, 20, 30, 128));
        QTest::newRow("style") << QBrush(grey) << QBrush(grey, Qt::CrossPattern);
        QTest::newRow("colour model")
            << QBrush(QColor::fromRgb(255, 0, 0)) << QBrush(QColor::fromHsv(0, 255, 255));
        QBrush turned(grey, Qt::HorPattern);
        turned.setTransform(QTransform().rotate(90));
        QTest::newRow("transform") << QBrush(grey, Qt::HorPattern) << turned;
    }

    void brushes()
    {
        QFETCH(QBrush, first);
        QFETCH(QBrush, second);
        GraphicBlock a(QStringLiteral("a")), b(QStringLiteral("a"));
        a.setBrush(first);
        b.setBrush(second);
        for (const auto &[block, given] : {std::pair(&a, first), std::pair(&b, second)}) {
            QCOMPARE(block->getBrush(), given);
            // QColor equality includes the colour model, which QBrush equality ignores.
            QCOMPARE(block->getBrush().color(), given.color());
            QCOMPARE(block->getBrush().transform(), given.transform());
        }
    }

    void drawing_data()
    {
        QTest::addColumn<bool>("byPc");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QPoint>("probe");
        QTest::addColumn<QColor>("expected");
        const QColor white(Qt::white), black(Qt::black), red(Qt::red), orange(255, 140, 0);
        for (bool pc : {false, true}) {
            auto row = [pc](const char *name, QPoint pos, QPoint probe, QColor colour,
                            bool selected = false) {
                QTest::addRow("%s: %s", pc ? "pc" : "cycle", name)
                    << pc << pos << selected << probe << colour;
            };
            row("x negative", {-1, 2}, {3, 5}, white);
            row("y negative", {2, -1}, {5, 3}, white);
            row("last column of r", {19, 0}, {23, 3}, red);
            row("beyond r", {20, 0}, {24, 3}, pc ? white : red);
            row("below r", {0, 20}, {4, 23}, pc ? white : red);
            row("highlighted", {10, 10}, {10, 13}, pc ? black : orange, true);
            row("highlight width", {10, 10}, {11, 13}, pc ? red : orange, true);
        }
    }

    // An 8 x 6 red block drawn for r = (0, 0, 20, 20) onto a larger device, so that whatever a
    // view passes on to the painter beyond r shows. (Blocks inside r are the views' pixel
    // parity test's.)
    void drawing()
    {
        QFETCH(bool, byPc);
        QFETCH(QPoint, position);
        QFETCH(bool, selected);
        GraphicBlock block(QStringLiteral("issue"), QBrush(Qt::red));
        block.setPositionTraceCycle(position.x(), position.y());
        block.setPositionTracePc(position.x(), position.y());
        block.setSizeTraceCycle(8, 6);
        block.setSizeTracePc(8, 6);
        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        if (byPc)
            block.drawItByPc(&painter, QRect(0, 0, 20, 20), selected);
        else
            block.drawItByCycle(&painter, QRect(0, 0, 20, 20), selected);
        QFETCH(QPoint, probe);
        QTEST(QColor(image.pixel(probe)), "expected");
    }

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

QTEST_MAIN(TestGraphicBlock)
#include "tst_graphicBlock.moc"
