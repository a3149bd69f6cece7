#ifndef TRACEWIDGETPC_H
#define TRACEWIDGETPC_H

#include "gui/blockPainter.h"
#include "gui/traceWidget.h"

#include <QStringList>

#include <map>
#include <optional>

// The lower right view: one column per cycle, one row per pc of the loaded assembly listing,
// each row level with that pc's row of the assembly table, whose vertical scroll bar it
// mirrors (the vertical position counts pixels).
class TraceWidgetPc : public TraceWidget
{
    Q_OBJECT

public:
    TraceWidgetPc(QWidget *parent, const char *name);
    ~TraceWidgetPc() override;

    void initHorizontalScrollBar();
    void initVerticalScrollBar(const int &min, const int &max, const int &lineStep,
                               const int &pageStep);
    int getMaxValueVerticalScrollBar() const;
    int getMinValueVerticalScrollBar() const;
    int getLineStepVerticalScrollBar() const;
    int getPageStepVerticalScrollBar() const;
    void setNbPcParAsm(const int &n);
    void repaintVerticalSliderMoved(const int &v);
    void repaintHorizontalSliderMoved(const int &v, const bool &moveBar);
    void setNumFirstPcToPaint(const int &pc);
    void setNumLastPcToPaint(const int &pc);
    void setTabPositionPc(const std::map<int, int> &tabPositionPc);

    int getNbPcParAsm() const { return nbPcParAsm; }

signals:
    void nextCycle(int cycle);
    void prevCycle(int cycle);
    void verticalNextLine();
    void verticalPrevLine();
    void verticalNextPage();
    void verticalPrevPage();

public slots:
    void setValueNextLineTableAsm();
    void setValuePrevLineTableAsm();
    void setValueNextPageTableAsm();
    void setValuePrevPageTableAsm();
    void updateScrollBarValue(int vertical, int horizontal);
    void setVerticalScrollBarSliderValue(int v);

protected slots:
    void nextLineHorizontal() override;
    void prevLineHorizontal() override;
    void nextPageHorizontal() override;
    void prevPageHorizontal() override;
    void sliderReleasedHorizontal() override;
    void nextLineVertical() override;
    void prevLineVertical() override;
    void nextPageVertical() override;
    void prevPageVertical() override;
    void graphicBlockWidgetMousePressEvent(QMouseEvent *e) override;
    void graphicBlockWidgetMouseReleaseEvent(QMouseEvent *e) override;

protected:
    void paintEvent(QPaintEvent *e) override;
    void signalerCycle(int cycle, bool avant) override;
    QString infobulle(QPoint p, QRect &zone) override;

private:
    // The pc whose row holds the surface's line y, if one does.
    std::optional<int> pcDuRang(int y) const;
    // The names of the events of pc at cycle, in the store's order; with ajouterEntree the
    // store gains an empty entry for a pc it has none for, as a press asks it.
    QStringList evenements(int pc, int cycle, bool ajouterEntree) const;
    void connectTableAsm();
    void paintSurface(QPainter &painter);

    int numFirstPcToPaint = -1;
    int numLastPcToPaint = -1;
    int nbPcParAsm = 0;
    std::map<int, int> tabPositionPc;
    BlockPainter blocks; // kept to reuse its buffers from frame to frame
};

#endif
