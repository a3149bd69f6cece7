#ifndef TRACEWIDGETCYCLE_H
#define TRACEWIDGETCYCLE_H

#include "core/configEvent.h"
#include "gui/blockPainter.h"
#include "gui/traceWidget.h"

#include <QString>

#include <map>

// The upper view: one column per cycle (or group of `niveauZoom` cycles), one row per
// configured event. A right press on a block shows what it stands for, a left press asks for
// its pc in the assembly table and the PC view.
class TraceWidgetCycle : public TraceWidget
{
    Q_OBJECT

public:
    TraceWidgetCycle(QWidget *parent, const char *name);
    ~TraceWidgetCycle() override;

    void setNbConfigEvent(const int &nb);
    void setNiveauZoom(const int &niveau);
    void setTabConfig(const std::map<QString, ConfigEvent> &tabConfig);
    void initScrollBar();
    void setHorizontalScrollBarValue(const int &v);
    void setVerticalScrollBarValue(const int &v);
    // No repaint: the caller repaints once it is done.
    void setPcToDisplay(int pc) { pcToDisplay = pc; }
    void repaintHorizontalSliderMoved(const int &v, const bool &moveBar);
    void repaintVerticalSliderMoved(const int &v);

    int getPcToDisplay() const { return pcToDisplay; }
    QString getSelectedEventName() const { return selectedEventName; }

signals:
    void nextCycle(int cycle);
    void prevCycle(int cycle);
    void displayPcTracePc(int pc, int cycle);

public slots:
    void displayPcTraceCycle(int pc);

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

private:
    void paintSurface(QPainter &painter);

    int nbConfigEvent = 0;
    int niveauZoom = 0;
    QString selectedEventName;
    std::map<QString, ConfigEvent> tabConfig;
    int firstCycleToPaint = 0;
    qint64 originX = 0; // trace pixels run past int at the finest level of a long trace
    int originY = 0;
    int pcToDisplay = -1;
    BlockPainter blocks; // kept to reuse its buffers from frame to frame
};

#endif
