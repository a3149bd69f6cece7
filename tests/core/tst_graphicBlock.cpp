#include "core/graphicBlock.h"

#include <QImage>
#include <QPainter>
#include <QTest>

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
