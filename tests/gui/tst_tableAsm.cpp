#include "gui/tableAsm.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>

class TestTableAsm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void shape();
    void writesOutsideTheTableAreIgnored_data();
    void writesOutsideTheTableAreIgnored();
    void setNbRowsEmptiesEveryCell();
    void clearKeepsTheRows();
    void clicksAskForThePc_data();
    void clicksAskForThePc();
    void cellsNeverOpenAnEditor();
    void widthFollowsTheColumns();
    void selectionnerPcShowsTheRow();
    void stepsStopAtTheEnds();

private:
    void fill(int rows);
    QStringList snapshot() const;
    void clickCell(int row, int column, Qt::MouseButton button = Qt::LeftButton);

    std::unique_ptr<TableAsm> table;
};

void TestTableAsm::init()
{
    table = std::make_unique<TableAsm>(nullptr, "tableAsm");
    table->resize(300, 200);
    table->show();
    QVERIFY(QTest::qWaitForWindowExposed(table.get()));
}

void TestTableAsm::cleanup()
{
    table.reset();
}

void TestTableAsm::fill(int rows)
{
    table->setNbRows(rows);
    for (int row = 0; row < rows; ++row) {
        table->setPc(row, QString::number(100 + 4 * row));
        table->setMnemonic(row, QStringLiteral("addi"));
        for (int operand = 0; operand < 3; ++operand)
            table->setValue(row, operand, QStringLiteral("r%1").arg(operand));
    }
}

QStringList TestTableAsm::snapshot() const
{
    QStringList cells;
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column)
            cells << table->cellText(row, column);
    }
    return cells;
}

void TestTableAsm::clickCell(int row, int column, Qt::MouseButton button)
{
    const QRect cell = table->visualRect(table->model()->index(row, column));
    QTest::mouseClick(table->viewport(), button, {}, cell.center());
}

void TestTableAsm::shape()
{
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->columnCount(), 5);
    QStringList labels;
    for (int column = 0; column < 5; ++column)
        labels << table->horizontalHeaderItem(column)->text();
    QCOMPARE(labels, (QStringList{"Pc", "Mnemonic", "", "", ""}));
    QVERIFY(table->verticalHeader()->isHidden());
    QVERIFY(!table->showGrid());
}

void TestTableAsm::writesOutsideTheTableAreIgnored_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("operand"); // -1: write the pc and the mnemonic instead

    QTest::newRow("row at the row count") << 4 << -1;
    QTest::newRow("row far beyond") << 1000 << -1;
    QTest::newRow("negative row") << -1 << -1;
    QTest::newRow("fourth operand") << 1 << 3;
    QTest::newRow("tenth operand") << 1 << 9;
    QTest::newRow("negative operand") << 1 << -2;
    QTest::newRow("operand beyond the rows") << 4 << 0;
}

void TestTableAsm::writesOutsideTheTableAreIgnored()
{
    QFETCH(int, row);
    QFETCH(int, operand);
    fill(4);
    const QStringList before = snapshot();
    if (operand == -1) {
        table->setPc(row, QStringLiteral("X"));
        table->setMnemonic(row, QStringLiteral("X"));
    } else {
        table->setValue(row, operand, QStringLiteral("X"));
    }
    QCOMPARE(table->rowCount(), 4);
    QCOMPARE(snapshot(), before);
}

void TestTableAsm::setNbRowsEmptiesEveryCell()
{
    fill(4);
    table->setNbRows(4);
    QCOMPARE(table->rowCount(), 4);
    QCOMPARE(snapshot(), QStringList(20, QString()));
    table->setNbRows(-3);
    QCOMPARE(table->rowCount(), 0);
}

void TestTableAsm::clearKeepsTheRows()
{
    fill(3);
    table->selectionnerPc(1, 0);
    table->clear();
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(snapshot(), QStringList(15, QString()));
    QVERIFY(table->selectionModel()->selectedIndexes().isEmpty());
}

void TestTableAsm::clicksAskForThePc_data()
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

void TestTableAsm::clicksAskForThePc()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(Qt::MouseButton, button);
    QFETCH(int, pc);
    fill(3);
    table->setRowCount(5);
    table->setMnemonic(3, QStringLiteral("nop"));
    table->setPc(4, QStringLiteral("0x40"));
    QSignalSpy requests(table.get(), &TableAsm::displayPcTraceCycle);
    QSignalSpy scrolls(table.get(), qOverload<int, int>(&TableAsm::updateScrollBarValue));

    clickCell(row, column, button);

    QCOMPARE(requests.count(), pc == -1 ? 0 : 1);
    QCOMPARE(scrolls.count(), 0);
    QList<int> selectedRows;
    for (const QModelIndex &index : table->selectionModel()->selectedIndexes()) {
        if (!selectedRows.contains(index.row()))
            selectedRows << index.row();
    }
    if (pc == -1) {
        QVERIFY(selectedRows.isEmpty());
        return;
    }
    QCOMPARE(requests.first().at(0).toInt(), pc);
    QCOMPARE(selectedRows, QList<int>{row});
    QCOMPARE(table->selectionModel()->selectedIndexes().count(), 5);
}

void TestTableAsm::cellsNeverOpenAnEditor()
{
    fill(2);
    const QRect cell = table->visualRect(table->model()->index(0, 1));
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::keyClicks(table.get(), QStringLiteral("xyz"));
    QTest::keyClick(table.get(), Qt::Key_F2);
    const auto editors = table->findChildren<QLineEdit *>();
    QVERIFY(std::none_of(editors.begin(), editors.end(),
                         [](const QLineEdit *editor) { return editor->isVisible(); }));
    QCOMPARE(table->cellText(0, 1), QStringLiteral("addi"));
}

void TestTableAsm::widthFollowsTheColumns()
{
    table->adjust();
    auto sum = [this] {
        int width = 0;
        for (int column = 0; column < 5; ++column)
            width += table->columnWidth(column);
        return width;
    };
    QCOMPARE(table->widthTable(), sum() + 23);
    const int before = table->widthTable();

    QSignalSpy widthChanges(table.get(), &TableAsm::widthChanged);
    table->setMnemonic(0, QStringLiteral("a-much-longer-mnemonic-than-the-header"));
    table->adjust();
    QVERIFY(widthChanges.count() >= 1);
    QVERIFY(table->widthTable() > before);
    QCOMPARE(table->widthTable(), sum() + 23);
}

void TestTableAsm::selectionnerPcShowsTheRow()
{
    fill(60);
    QSignalSpy scrolls(table.get(), qOverload<int, int>(&TableAsm::updateScrollBarValue));
    table->selectionnerPc(50, 321);

    QCOMPARE(scrolls.count(), 1);
    const int value = table->verticalScrollBar()->value();
    QVERIFY(value > 0);
    QCOMPARE(scrolls.first(), (QList<QVariant>{value, 321}));
    QVERIFY(table->viewport()->rect().contains(table->visualRect(table->model()->index(50, 0))));
    QCOMPARE(table->currentRow(), 50);
    QCOMPARE(table->selectionModel()->selectedIndexes().count(), 5);

    // A row outside the table selects nothing and announces nothing.
    table->selectionnerPc(60, 0);
    QCOMPARE(scrolls.count(), 1);
    QVERIFY(table->selectionModel()->selectedIndexes().isEmpty());
}

void TestTableAsm::stepsStopAtTheEnds()
{
    fill(60);
    QScrollBar *bar = table->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    table->updateScrollBarValue(bar->maximum() - 1);
    table->setValueNextPageTracePc();
    QCOMPARE(bar->value(), bar->maximum());
    table->setValueNextLineTracePc();
    QCOMPARE(bar->value(), bar->maximum());
    table->updateScrollBarValue(1);
    table->setValuePrevPageTracePc();
    QCOMPARE(bar->value(), 0);
    table->setValuePrevLineTracePc();
    QCOMPARE(bar->value(), 0);
}

QTEST_MAIN(TestTableAsm)
#include "tst_tableAsm.moc"
