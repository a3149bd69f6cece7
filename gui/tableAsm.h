#ifndef TABLEASM_H
#define TABLEASM_H

#include <QPersistentModelIndex>
#include <QTableWidget>

class QScrollBar;

// The loaded assembly listing: one row per pc with the pc, the mnemonic and up to three
// operands. Read-only for the user; the program highlights rows. Its vertical scroll bar,
// which counts pixels, is the master of the PC view's.
class TableAsm : public QTableWidget
{
    Q_OBJECT

public:
    static constexpr int nbColumns = 5;
    static constexpr int nbOperandColumns = 3;

    TableAsm(QWidget *parent, const char *name);

    void setNbRows(const int &n);
    // Blanks every cell; the row count stays.
    void clear();
    // Writes outside the table (no such row, operand index 3 or more) are ignored.
    void setPc(int row, const QString &pc);
    void setMnemonic(int row, const QString &mnemonic);
    void setValue(int row, int index, const QString &value);
    void adjust();
    int widthTable() const;
    void selectionnerPc(const int &row, const int &positionHorizontal);
    int getMaxValueVerticalScrollBar() const;
    int getMinValueVerticalScrollBar() const;
    int getLineStepVerticalScrollBar();
    int getPageStepVerticalScrollBar();
    void setMaxValueVerticalScrollBar(const int &v);
    void setMinValueVerticalScrollBar(const int &v);
    void setLineStepVerticalScrollBar(const int &v);
    void setPageStepVerticalScrollBar(const int &v);
    void updateScrollBarValue(const int &v);

    QString cellText(int row, int column) const;

signals:
    void widthChanged();
    void nextLine();
    void prevLine();
    void nextPage();
    void prevPage();
    void sliderMoved(int value);
    void displayPcTraceCycle(int pc);
    void updateScrollBarValue(int vertical, int horizontal);

public slots:
    void displayPc(int row, int col, int button, const QPoint &pos);
    void setValueNextLineTracePc();
    void setValuePrevLineTracePc();
    void setValueNextPageTracePc();
    void setValuePrevPageTracePc();

protected slots:
    void columnWidthChanged(int col);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void connectAll();
    void setCellText(int row, int column, const QString &text);
    void highlightRow(int row);
    // Brings the scroll range up to date with rows or sizes changed since the last layout.
    void updateScrollRange();

    QScrollBar *verticalBar;
    QPersistentModelIndex pressedIndex;
};

#endif
