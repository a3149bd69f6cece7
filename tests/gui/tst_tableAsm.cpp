#include "gui/tableAsm.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// A table of 5 rows: pcs 100, 104, 108 with mnemonic and three operands, row 3 with a
// mnemonic but no pc, row 4 with a pc that is not a number.
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
    }

    void cleanup() { table.reset(); }
    // Writes outside the table are ignored; clearing and any new row count empty every cell.
    void writesChangeOnlyTheirCell_data()
    {
        QTest::addColumn<QString>("write"); // row,operand (-1: the pc and the mnemonic), or an op
        QTest::addColumn<int>("rows");      // the row count after it; -1: the cells unchanged
        for (const char *write : {"5,-1", "1000,-1", "-1,-1", "1,3", "1,9", "1,-2", "5,0"})
            QTest::newRow(write) << write << -1;
        QTest::newRow("clear") << "clear" << 5;
        QTest::newRow("same row count") << "rows5" << 5;
        QTest::newRow("negative row count") << "rows-3" << 0;
    }
    void writesChangeOnlyTheirCell()
    {
        QFETCH(QString, write);
        QFETCH(int, rows);
        table->selectionnerPc(1, 0);
        const QStringList before = cells();
        const QStringList w = write.split(QLatin1Char(','));
        if (write == QLatin1String("clear")) {
            table->clear();
        } else if (write.startsWith(QLatin1String("rows"))) {
            table->setNbRows(write.mid(4).toInt());
        } else if (w[1] == QLatin1String("-1")) {
            table->setPc(w[0].toInt(), QStringLiteral("X"));
            table->setMnemonic(w[0].toInt(), QStringLiteral("X"));
        } else {
            table->setValue(w[0].toInt(), w[1].toInt(), QStringLiteral("X"));
        }
        QCOMPARE(table->rowCount(), rows < 0 ? 5 : rows);
        QCOMPARE(cells(), rows < 0 ? before : QStringList(rows * 5, QString()));
        QCOMPARE(selectedRows().isEmpty(), rows >= 0);
    }

    void clicksAskForThePc_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("pc"); // -1: nothing emitted

        QTest::newRow("pc column") << 1 << 0 << Qt::LeftButton << 104;
        QTest::newRow("operand column") << 2 << 4 << Qt::LeftButton << 108;
        QTest::newRow("right button") << 0 << 1 << Qt::RightButton << 100;
        QTest::newRow("empty pc cell") << 3 << 1 << Qt::LeftButton << -1;
        QTest::newRow("pc not a number") << 4 << 0 << Qt::LeftButton << 0;
    }

    void clicksAskForThePc()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, pc);
        QSignalSpy requests(table.get(), &TableAsm::displayPcTraceCycle);
        QSignalSpy scrolls(table.get(), qOverload<int, int>(&TableAsm::updateScrollBarValue));
        const QRect cell = table->visualRect(table->model()->index(row, column));
        QTest::mouseClick(table->viewport(), button, {}, cell.center());

        QCOMPARE(scrolls.count(), 0);
        QCOMPARE(requests.isEmpty() ? -1 : requests.first().at(0).toInt(), pc);
        QCOMPARE(selectedRows(), pc == -1 ? QList<int>() : QList<int>(5, row));
    }

    void cellsNeverOpenAnEditor()
    {
        const QRect cell = table->visualRect(table->model()->index(0, 1));
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::keyClicks(table.get(), QStringLiteral("xyz"));
        QTest::keyClick(table.get(), Qt::Key_F2);
        for (const QLineEdit *editor : table->findChildren<QLineEdit *>())
            QVERIFY(!editor->isVisible());
        QCOMPARE(table->cellText(0, 1), QStringLiteral("addi"));
    }

    // A row that is not there selects nothing; the PC view still gets the cycle.
    void missingRowSelectsNothing()
    {
        QSignalSpy scrolls(table.get(), qOverload<int, int>(&TableAsm::updateScrollBarValue));
        table->selectionnerPc(1, 0);
        table->selectionnerPc(5, 7);
        QCOMPARE(scrolls.last(), (QList<QVariant>{table->verticalScrollBar()->value(), 7}));
        QVERIFY(selectedRows().isEmpty());
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

    QList<int> selectedRows() const
    {
        QList<int> rows;
        for (const QModelIndex &index : table->selectionModel()->selectedIndexes())
            rows << index.row();
        return rows;
    }

    std::unique_ptr<TableAsm> table;
};

QTEST_MAIN(TestTableAsm)
#include "tst_tableAsm.moc"
