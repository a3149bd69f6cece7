#include "gui/tableAsm.h"

#include <QApplication>
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
    void writesOutsideTheTableAreIgnored_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("operand"); // -1: the pc and the mnemonic instead

        QTest::newRow("row at the row count") << 5 << -1;
        QTest::newRow("row far beyond") << 1000 << -1;
        QTest::newRow("negative row") << -1 << -1;
        QTest::newRow("fourth operand") << 1 << 3;
        QTest::newRow("tenth operand") << 1 << 9;
        QTest::newRow("negative operand") << 1 << -2;
        QTest::newRow("operand beyond the rows") << 5 << 0;
    }

    void writesOutsideTheTableAreIgnored()
    {
        QFETCH(int, row);
        QFETCH(int, operand);
        const QStringList before = cells();
        if (operand == -1) {
            table->setPc(row, QStringLiteral("X"));
            table->setMnemonic(row, QStringLiteral("X"));
        } else {
            table->setValue(row, operand, QStringLiteral("X"));
        }
        QCOMPARE(table->rowCount(), 5);
        QCOMPARE(cells(), before);
    }

    void clearAndSetNbRowsEmptyEveryCell()
    {
        table->selectionnerPc(1, 0);
        table->clear();
        QCOMPARE(cells(), QStringList(25, QString()));
        QVERIFY(selectedRows().isEmpty());
        table->setValue(2, 1, QStringLiteral("r9"));
        table->setNbRows(5); // the same count still empties
        QCOMPARE(cells(), QStringList(25, QString()));
        table->setNbRows(-3);
        QCOMPARE(table->rowCount(), 0);
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

    void selectionnerPcShowsTheRow()
    {
        table->setNbRows(60);
        QScrollBar *bar = table->verticalScrollBar();
        // A click gives the table the keyboard, which scrolls it.
        QVERIFY(QTest::qWaitForWindowActive(table.get()));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(QApplication::focusWidget(), table.get());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
        QVERIFY(bar->value() > 0);

        QSignalSpy scrolls(table.get(), qOverload<int, int>(&TableAsm::updateScrollBarValue));
        table->selectionnerPc(50, 321);
        QVERIFY(bar->value() > 0);
        QCOMPARE(scrolls.count(), 1);
        QCOMPARE(scrolls.first(), (QList<QVariant>{bar->value(), 321}));
        QVERIFY(
            table->viewport()->rect().contains(table->visualRect(table->model()->index(50, 0))));
        QCOMPARE(table->currentRow(), 50);
        QCOMPARE(selectedRows(), QList<int>(5, 50));
        // No such row: nothing selected, the table stays, the PC view still gets the cycle.
        const int shown = bar->value();
        table->selectionnerPc(60, 7);
        QCOMPARE(scrolls.count(), 2);
        QCOMPARE(scrolls.last(), (QList<QVariant>{shown, 7}));
        QVERIFY(selectedRows().isEmpty());

        // Moves asked by the PC view stop at both ends of the range.
        table->updateScrollBarValue(bar->maximum() - 1);
        table->setValueNextPageTracePc();
        table->setValueNextLineTracePc();
        QCOMPARE(bar->value(), bar->maximum());
        table->updateScrollBarValue(1);
        table->setValuePrevPageTracePc();
        table->setValuePrevLineTracePc();
        QCOMPARE(bar->value(), 0);
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
