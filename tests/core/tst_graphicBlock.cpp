#include "core/graphicBlock.h"
#include "core/infosZoom.h"

#include <QImage>
#include <QPainter>
#include <QTest>

enum View { CycleView, PcView };
Q_DECLARE_METATYPE(View)

class TestGraphicBlock : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        const GraphicBlock block(QStringLiteral("commit"));
        QCOMPARE(block.getPositionXTracePc(), -1);
        QCOMPARE(block.getPc(), -1);
        QCOMPARE(block.getBrush().style(), Qt::NoBrush);
        const InfosZoom zoom(40, 12, 10, 15);
        QCOMPARE(QList<int>({zoom.getNbBlockHorizontalToPaint(), zoom.getNbBlockVerticalToPaint(),
                             zoom.getLargeurBlock(), zoom.getHauteurBlock()}),
                 QList<int>({40, 12, 10, 15}));
    }

    // An 8 x 6 red block drawn onto a device larger than r, so that whatever a view passes on
    // to the painter beyond r shows.
    void drawing_data()
    {
        QTest::addColumn<View>("view");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QRect>("r");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QPoint>("probe");
        QTest::addColumn<QColor>("expected");
        const QColor white(255, 255, 255), black(0, 0, 0), red(255, 0, 0), orange(255, 140, 0);
        const QRect origin(0, 0, 20, 20), shifted(5, 10, 20, 20);
        for (View v : {CycleView, PcView}) {
            const bool cycle = v == CycleView;
            auto row = [v, cycle](const char *name, QPoint pos, QRect r, QPoint probe,
                                  QColor colour, bool selected = false) {
                QTest::addRow("%s: %s", cycle ? "cycle" : "pc", name)
                    << v << pos << r << selected << probe << colour;
            };
            row("fill at origin", QPoint(0, 0), origin, QPoint(4, 3), red);
            row("outline", QPoint(2, 2), origin, QPoint(2, 4), black);
            row("mapped by r's corner", QPoint(10, 14), shifted, QPoint(8, 7), red);
            row("starts left of r", QPoint(2, 12), shifted, QPoint(2, 4), red);
            row("x negative", QPoint(-1, 2), origin, QPoint(3, 5), white);
            row("y negative", QPoint(2, -1), origin, QPoint(5, 3), white);
            row("last column of r", QPoint(19, 0), origin, QPoint(23, 3), red);
            row("beyond r", QPoint(20, 0), origin, QPoint(24, 3), cycle ? red : white);
            row("below r", QPoint(0, 20), origin, QPoint(4, 23), cycle ? red : white);
            row("highlighted", QPoint(10, 10), origin, QPoint(10, 13), cycle ? orange : black,
                true);
            row("highlight width", QPoint(10, 10), origin, QPoint(11, 13), cycle ? orange : red,
                true);
        }
    }

    void drawing()
    {
        QFETCH(View, view);
        QFETCH(QPoint, position);
        QFETCH(QRect, r);
        QFETCH(bool, selected);
        QFETCH(QPoint, probe);
        QFETCH(QColor, expected);
        GraphicBlock block(QStringLiteral("issue"));
        block.setBrush(QBrush(Qt::red));
        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        if (view == CycleView) {
            block.setPositionTraceCycle(position.x(), position.y());
            block.setSizeTraceCycle(8, 6);
            block.drawItByCycle(&painter, r, selected);
        } else {
            block.setPositionTracePc(position.x(), position.y());
            block.setSizeTracePc(8, 6);
            block.drawItByPc(&painter, r, selected);
        }
        QCOMPARE(QColor(image.pixel(probe)), expected);
    }
};

QTEST_MAIN(TestGraphicBlock)
#include "tst_graphicBlock.moc"
