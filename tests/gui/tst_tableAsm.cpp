#include "gui/tableAsm.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

// A table of 5 rows: pcs 100, 104, 108 with mnemonic and three operands, row 3 with a
// mnemonic but no pc, row 4 with a pc that is not a number; row 1 highlighted.
class TestTableAsm : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        table = std::make_unique<TableAsm>(nullptr, "tableAsm");
        table->resize(300, 200);
        table->show();
        QVERIFY(QTest::qWaitForWindowExposed(table.get()));
        table->setNbRows(5);
        for (int row = 0; row < 3; ++row) {
            table->setPc(row, QString::number(100 + 4 * row));
            table->setMnemonic(row, QStringLiteral("addi"));
            for (int operand = 0; operand < 3; ++operand)
                table->setValue(row, operand, QStringLiteral("r%1").arg(operand));
        }
        table->setMnemonic(3, QStringLiteral("nop"));
        table->setPc(4, QStringLiteral("0x40"));
        table->selectionnerPc(1, 0);
    }
    void cleanup() { table.reset(); }

    // Writes outside the table are ignored; clearing and any new row count empty every cell.
    // A click with any button on a row with a pc asks for it and highlights the row; a row
    // the table lacks highlights nothing, yet the PC view still gets the cycle.
    void actions_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("rows");        // the row count after it; -1: the cells unchanged
        QTest::addColumn<int>("highlighted"); // -1: none
        QTest::addColumn<QString>("emitted");
        // set <row> <operand>; set <row> pc writes the pc and the mnemonic
        for (const char *write :
             {"set 5 pc", "set 1000 pc", "set -1 pc", "set 1 3", "set 1 9", "set 1 -2", "set 5 0"})
            QTest::newRow(write) << write << -1 << 1 << "";
        QTest::newRow("clear") << "clear" << 5 << -1 << "";
        QTest::newRow("same row count") << "rows 5" << 5 << -1 << "";
        QTest::newRow("negative row count") << "rows -3" << 0 << -1 << "";
        QTest::newRow("pc column") << "click 2 0" << -1 << 2 << "pc 108";
        QTest::newRow("operand column") << "click 0 4" << -1 << 0 << "pc 100";
        QTest::newRow("right button") << "right 0 1" << -1 << 0 << "pc 100";
        QTest::newRow("empty pc cell") << "click 3 1" << -1 << 1 << "";
        QTest::newRow("pc not a number") << "click 4 0" << -1 << 4 << "pc 0";
        QTest::newRow("select a row") << "select 2 7" << -1 << 2 << "scroll 0 7";
        QTest::newRow("select a missing row") << "select 5 7" << -1 << -1 << "scroll 0 7";
    }
    void actions()
    {
        QFETCH(QString, action);
        QFETCH(int, rows);
        QFETCH(int, highlighted);
        const QStringList before = cells();
        QSignalSpy pcs(table.get(), &TableAsm::displayPcTraceCycle);
        QSignalSpy scrolls(table.get(), qOverload<int, int>(&TableAsm::updateScrollBarValue));
        const QStringList a = action.split(QLatin1Char(' '));
        const int row = a.value(1).toInt();
        const int column = a.value(2).toInt();
        if (a[0] == QLatin1String("clear")) {
            table->clear();
        } else if (a[0] == QLatin1String("rows")) {
            table->setNbRows(row);
        } else if (a[0] == QLatin1String("select")) {
            table->selectionnerPc(row, column);
        } else if (a[0] == QLatin1String("set") && a[2] != QLatin1String("pc")) {
            table->setValue(row, column, QStringLiteral("X"));
        } else if (a[0] == QLatin1String("set")) {
            table->setPc(row, QStringLiteral("X"));
            table->setMnemonic(row, QStringLiteral("X"));
        } else {
            const QRect cell = table->visualRect(table->model()->index(row, column));
            const bool right = a[0] == QLatin1String("right");
            QTest::mouseClick(table->viewport(), right ? Qt::RightButton : Qt::LeftButton, {},
                              cell.center());
        }
        QCOMPARE(table->rowCount(), rows < 0 ? 5 : rows);
        QCOMPARE(cells(), rows < 0 ? before : QStringList(rows * 5, QString()));
        QList<int> selected;
        for (const QModelIndex &index : table->selectionModel()->selectedIndexes())
            selected << index.row();
        QCOMPARE(selected, QList<int>(highlighted < 0 ? 0 : 5, highlighted));
        QStringList emitted;
        for (const QList<QVariant> &args : std::as_const(pcs))
            emitted << "pc " + args[0].toString();
        for (const QList<QVariant> &args : std::as_const(scrolls))
            emitted << "scroll " + args[0].toString() + ' ' + args[1].toString();
        QTEST(emitted.join(QLatin1Char(' ')), "emitted");
    }

private:
    QStringList cells() const
    {
        QStringList texts;
        for (int row = 0; row < table->rowCount(); ++row) {
            for (int column = 0; column < table->columnCount(); ++column)
                texts << table->cellText(row, column);
        }
        return texts;
    }

    std::unique_ptr<TableAsm> table;
};

QTEST_MAIN(TestTableAsm)
#include "tst_tableAsm.moc"
