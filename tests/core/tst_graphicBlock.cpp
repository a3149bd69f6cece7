#include "core/graphicBlock.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTransform>

#include <memory>

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

    // Blocks of one event share what looks the same; each still shows exactly its own brush,
    // also among the many shades of a zoom level.
    void brushes_data()
    {
        QTest::addColumn<QBrush>("first");
        QTest::addColumn<QBrush>("second");
        const QColor grey(10, 20, 30);
        QTest::newRow("same") << QBrush(grey) << QBrush(grey);
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
        std::vector<std::unique_ptr<GraphicBlock>> shades;
        for (quint32 i = 0; i < 1000; ++i) {
            shades.push_back(std::make_unique<GraphicBlock>(QStringLiteral("alu")));
            shades.back()->setBrush(QColor::fromRgb(0xff000000u | (i * 7919)));
        }
        for (quint32 i = 0; i < 1000; ++i)
            QCOMPARE(shades[i]->getBrush().color().rgba(), 0xff000000u | (i * 7919));
    }

    // An 8 x 6 red block drawn onto a device larger than r, so that whatever a view passes on
    // to the painter beyond r shows.
    void drawing_data()
    {
        QTest::addColumn<bool>("byPc");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QRect>("r");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QPoint>("probe");
        QTest::addColumn<QColor>("expected");
        const QColor white(Qt::white), black(Qt::black), red(Qt::red), orange(255, 140, 0);
        const QRect origin(0, 0, 20, 20), shifted(5, 10, 20, 20);
        for (bool pc : {false, true}) {
            auto row = [pc](const char *name, QPoint pos, QRect r, QPoint probe, QColor colour,
                            bool selected = false) {
                QTest::addRow("%s: %s", pc ? "pc" : "cycle", name)
                    << pc << pos << r << selected << probe << colour;
            };
            row("fill at origin", {0, 0}, origin, {4, 3}, red);
            row("outline", {2, 2}, origin, {2, 4}, black);
            row("mapped by r's corner", {10, 14}, shifted, {8, 7}, red);
            row("starts left of r", {2, 12}, shifted, {2, 4}, red);
            row("x negative", {-1, 2}, origin, {3, 5}, white);
            row("y negative", {2, -1}, origin, {5, 3}, white);
            row("last column of r", {19, 0}, origin, {23, 3}, red);
            row("beyond r", {20, 0}, origin, {24, 3}, pc ? white : red);
            row("below r", {0, 20}, origin, {4, 23}, pc ? white : red);
            row("highlighted", {10, 10}, origin, {10, 13}, pc ? black : orange, true);
            row("highlight width", {10, 10}, origin, {11, 13}, pc ? red : orange, true);
        }
    }

    void drawing()
    {
        QFETCH(bool, byPc);
        QFETCH(QPoint, position);
        QFETCH(QRect, r);
        QFETCH(bool, selected);
        GraphicBlock block(QStringLiteral("issue"));
        block.setBrush(QBrush(Qt::red));
        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        if (byPc) {
            block.setPositionTracePc(position.x(), position.y());
            block.setSizeTracePc(8, 6);
            block.drawItByPc(&painter, r, selected);
        } else {
            block.setPositionTraceCycle(position.x(), position.y());
            block.setSizeTraceCycle(8, 6);
            block.drawItByCycle(&painter, r, selected);
        }
        QFETCH(QPoint, probe);
        QTEST(QColor(image.pixel(probe)), "expected");
    }
};

QTEST_MAIN(TestGraphicBlock)
#include "tst_graphicBlock.moc"
