#include "gui/tableAsm.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

TableAsm::TableAsm(QWidget *parent, const char *name) : QTableWidget(1, nbColumns, parent)
{
    setObjectName(QString::fromLatin1(name));
    setHorizontalHeaderLabels(
        {QStringLiteral("Pc"), QStringLiteral("Mnemonic"), QString(), QString(), QString()});
    verticalHeader()->hide();
    setShowGrid(false);
    // The user cannot select; only the program highlights rows, through the selection model.
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The keyboard scrolls the table once it is clicked; it does not take the focus when the
    // window opens, where an empty current cell would show as if selected.
    setFocusPolicy(Qt::ClickFocus);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);

    // The PC view mirrors this bar in pixels, and its rows start 20 pixels below its top: the
    // table's rows must start there too, and its scroll position must count pixels.
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    horizontalHeader()->setFixedHeight(20 - frameWidth());

    verticalBar = verticalScrollBar();
    verticalBar->setContextMenuPolicy(Qt::NoContextMenu);
    connectAll();
}

void TableAsm::connectAll()
{
    connect(verticalBar, &QScrollBar::actionTriggered, this, [this](int action) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            emit nextLine();
            break;
        case QAbstractSlider::SliderSingleStepSub:
            emit prevLine();
            break;
        case QAbstractSlider::SliderPageStepAdd:
            emit nextPage();
            break;
        case QAbstractSlider::SliderPageStepSub:
            emit prevPage();
            break;
        default:
            break;
        }
    });
    connect(verticalBar, &QScrollBar::sliderMoved, this, &TableAsm::sliderMoved);
    // Any other change of the table's position (wheel, keyboard, a cell made visible, a range
    // that shrank) would leave the PC view's rows out of level: hand it on as well.
    connect(verticalBar, &QScrollBar::valueChanged, this, [this](int value) {
        if (!verticalBar->isSliderDown())
            emit sliderMoved(value);
    });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int) { columnWidthChanged(column); });
}

void TableAsm::columnWidthChanged(int)
{
    emit widthChanged();
}

void TableAsm::setNbRows(const int &n)
{
    setRowCount(0);
    setRowCount(std::max(0, n));
    // Laid out now rather than lazily in the next paint: the bar it moves moves the PC view,
    // which cannot repaint while the table paints.
    doItemsLayout();
    repaint();
}

void TableAsm::clear()
{
    clearSelection();
    for (int row = 0; row < rowCount(); ++row) {
        for (int column = 0; column < columnCount(); ++column) {
            if (QTableWidgetItem *cell = item(row, column))
                cell->setText(QString());
        }
    }
}

void TableAsm::setCellText(int row, int column, const QString &text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    if (QTableWidgetItem *cell = item(row, column)) {
        cell->setText(text);
        return;
    }
    auto *cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    setItem(row, column, cell);
}

QString TableAsm::cellText(int row, int column) const
{
    const QTableWidgetItem *cell = item(row, column);
    return cell ? cell->text() : QString();
}

void TableAsm::setPc(int row, const QString &pc)
{
    setCellText(row, 0, pc);
}

void TableAsm::setMnemonic(int row, const QString &mnemonic)
{
    setCellText(row, 1, mnemonic);
}

void TableAsm::setValue(int row, int index, const QString &value)
{
    // Only three operand columns: a fourth operand has no place and must not land elsewhere.
    if (index < 0 || index >= nbOperandColumns)
        return;
    setCellText(row, index + 2, value);
}

void TableAsm::adjust()
{
    for (int column = 0; column < columnCount(); ++column)
        resizeColumnToContents(column);
}

int TableAsm::widthTable() const
{
    int width = 23;
    for (int column = 0; column < columnCount(); ++column)
        width += columnWidth(column);
    return width;
}

void TableAsm::highlightRow(int row)
{
    setRangeSelected(QTableWidgetSelectionRange(row, 0, row, columnCount() - 1), true);
}

void TableAsm::updateScrollRange()
{
    executeDelayedItemsLayout();
    updateGeometries();
}

void TableAsm::selectionnerPc(const int &row, const int &positionHorizontal)
{
    clearSelection();
    // A row the table does not have is not highlighted, but the PC view still goes to the
    // cycle asked for.
    if (row >= 0 && row < rowCount()) {
        highlightRow(row);
        updateScrollRange();
        scrollTo(model()->index(row, 0));
        setCurrentCell(row, 0);
    }
    emit updateScrollBarValue(verticalBar->value(), positionHorizontal);
}

void TableAsm::displayPc(int row, int, int, const QPoint &)
{
    const QString pc = cellText(row, 0);
    if (pc.isEmpty())
        return;
    clearSelection();
    highlightRow(row);
    emit displayPcTraceCycle(pc.toInt());
}

void TableAsm::mousePressEvent(QMouseEvent *e)
{
    pressedIndex = indexAt(e->position().toPoint());
    QTableWidget::mousePressEvent(e);
}

// A click is a press and a release on the same cell, with any button.
void TableAsm::mouseReleaseEvent(QMouseEvent *e)
{
    QTableWidget::mouseReleaseEvent(e);
    const QModelIndex index = indexAt(e->position().toPoint());
    const bool click = index.isValid() && index == pressedIndex;
    pressedIndex = QPersistentModelIndex();
    if (click)
        displayPc(index.row(), index.column(), int(e->button()), e->position().toPoint());
}

void TableAsm::setValueNextLineTracePc()
{
    verticalBar->setValue(verticalBar->value() + verticalBar->singleStep());
}

void TableAsm::setValuePrevLineTracePc()
{
    verticalBar->setValue(verticalBar->value() - verticalBar->singleStep());
}

void TableAsm::setValueNextPageTracePc()
{
    verticalBar->setValue(verticalBar->value() + verticalBar->pageStep());
}

void TableAsm::setValuePrevPageTracePc()
{
    verticalBar->setValue(verticalBar->value() - verticalBar->pageStep());
}

int TableAsm::getMaxValueVerticalScrollBar() const
{
    return verticalBar->maximum();
}

int TableAsm::getMinValueVerticalScrollBar() const
{
    return verticalBar->minimum();
}

int TableAsm::getLineStepVerticalScrollBar()
{
    updateScrollRange();
    return verticalBar->singleStep();
}

int TableAsm::getPageStepVerticalScrollBar()
{
    updateScrollRange();
    return verticalBar->pageStep();
}

void TableAsm::setMaxValueVerticalScrollBar(const int &v)
{
    verticalBar->setMaximum(v);
}

void TableAsm::setMinValueVerticalScrollBar(const int &v)
{
    verticalBar->setMinimum(v);
}

void TableAsm::setLineStepVerticalScrollBar(const int &v)
{
    verticalBar->setSingleStep(v);
}

void TableAsm::setPageStepVerticalScrollBar(const int &v)
{
    verticalBar->setPageStep(v);
}

void TableAsm::updateScrollBarValue(const int &v)
{
    verticalBar->setValue(v);
}
