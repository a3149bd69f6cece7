#include "core/graphicBlock.h"
#include "core/infosZoom.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

const QColor white(255, 255, 255);
const QColor black(0, 0, 0);
const QColor fill(255, 0, 0);
const QColor orange(255, 140, 0);

enum View { CycleView, PcView };

// The device is larger than r, so that what a view passes on to the painter beyond r shows.
QImage render(View view, QPoint position, QRect r, bool selected)
{
    GraphicBlock block(QStringLiteral("issue"));
    block.setBrush(QBrush(fill));
    if (view == CycleView) {
        block.setPositionTraceCycle(position.x(), position.y());
        block.setSizeTraceCycle(8, 6);
    } else {
        block.setPositionTracePc(position.x(), position.y());
        block.setSizeTracePc(8, 6);
    }
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(white);
    QPainter painter(&image);
    if (view == CycleView)
        block.drawItByCycle(&painter, r, selected);
    else
        block.drawItByPc(&painter, r, selected);
    return image;
}

} // namespace

Q_DECLARE_METATYPE(View)

class TestGraphicBlock : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        const GraphicBlock block(QStringLiteral("commit"));
        QCOMPARE(block.getName(), QStringLiteral("commit"));
        QCOMPARE(block.getPositionXTraceCycle(), -1);
        QCOMPARE(block.getPositionYTraceCycle(), -1);
        QCOMPARE(block.getPositionXTracePc(), -1);
        QCOMPARE(block.getPositionYTracePc(), -1);
        QCOMPARE(block.getPc(), -1);
        QCOMPARE(block.getCycle(), 0);
        QCOMPARE(block.getNbEvent(), 0);
        QCOMPARE(block.getBrush().style(), Qt::NoBrush);
        QCOMPARE(GraphicBlock::penSelection().color(), orange);
        QCOMPARE(GraphicBlock::penSelection().width(), 3);
        QCOMPARE(GraphicBlock::penSelection().style(), Qt::SolidLine);

        const InfosZoom zoom(40, 12, 10, 15);
        QCOMPARE(zoom.getNbBlockHorizontalToPaint(), 40);
        QCOMPARE(zoom.getNbBlockVerticalToPaint(), 12);
        QCOMPARE(zoom.getLargeurBlock(), 10);
        QCOMPARE(zoom.getHauteurBlock(), 15);
    }

    void drawing_data()
    {
        QTest::addColumn<View>("view");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QRect>("r");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QPoint>("probe");
        QTest::addColumn<QColor>("expected");
        const QRect origin(0, 0, 20, 20);
        const QRect shifted(5, 10, 20, 20);
        for (View view : {CycleView, PcView}) {
            const char *v = view == CycleView ? "cycle: " : "pc: ";
            QTest::addRow("%sfill at origin", v)
                << view << QPoint(0, 0) << origin << false << QPoint(4, 3) << fill;
            QTest::addRow("%soutline", v)
                << view << QPoint(2, 2) << origin << false << QPoint(2, 4) << black;
            QTest::addRow("%smapped by r's corner", v)
                << view << QPoint(10, 14) << shifted << false << QPoint(8, 7) << fill;
            QTest::addRow("%sstarts left of r, visible part", v)
                << view << QPoint(2, 12) << shifted << false << QPoint(2, 4) << fill;
            QTest::addRow("%sx negative", v)
                << view << QPoint(-1, 2) << origin << false << QPoint(3, 5) << white;
            QTest::addRow("%sy negative", v)
                << view << QPoint(2, -1) << origin << false << QPoint(5, 3) << white;
            QTest::addRow("%slast column of r", v)
                << view << QPoint(19, 0) << origin << false << QPoint(23, 3) << fill;
        }
        QTest::newRow("cycle: beyond r is left to clipping")
            << CycleView << QPoint(20, 0) << origin << false << QPoint(24, 3) << fill;
        QTest::newRow("cycle: below r is left to clipping")
            << CycleView << QPoint(0, 20) << origin << false << QPoint(4, 23) << fill;
        QTest::newRow("pc: right of r is skipped")
            << PcView << QPoint(20, 0) << origin << false << QPoint(24, 3) << white;
        QTest::newRow("pc: below r is skipped")
            << PcView << QPoint(0, 20) << origin << false << QPoint(4, 23) << white;
        QTest::newRow("cycle: highlighted outline")
            << CycleView << QPoint(10, 10) << origin << true << QPoint(10, 13) << orange;
        QTest::newRow("cycle: highlight is 3 wide")
            << CycleView << QPoint(10, 10) << origin << true << QPoint(11, 13) << orange;
        QTest::newRow("pc: highlight ignored")
            << PcView << QPoint(10, 10) << origin << true << QPoint(10, 13) << black;
        QTest::newRow("pc: highlight ignored inside")
            << PcView << QPoint(10, 10) << origin << true << QPoint(11, 13) << fill;
    }

    void drawing()
    {
        QFETCH(View, view);
        QFETCH(QPoint, position);
        QFETCH(QRect, r);
        QFETCH(bool, selected);
        QFETCH(QPoint, probe);
        QFETCH(QColor, expected);
        QCOMPARE(QColor(render(view, position, r, selected).pixel(probe)), expected);
    }
};

QTEST_MAIN(TestGraphicBlock)
#include "tst_graphicBlock.moc"
