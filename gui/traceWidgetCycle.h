#ifndef TRACEWIDGETCYCLE_H
#define TRACEWIDGETCYCLE_H

#include "core/configEvent.h"
#include "gui/blockPainter.h"
#include "gui/traceWidget.h"
#include "gui/viewAids.h"

#include <QString>

#include <map>
#include <optional>
#include <vector>

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
    int getNiveauZoom() const { return niveauZoom; }
    // The column of event names left of the rows; it takes its width from the surface.
    void setColonneNoms(bool affichee);

signals:
    void nextCycle(int cycle);
    void prevCycle(int cycle);
    void displayPcTracePc(int pc, int cycle);
    // The first and last cycles on screen changed; premier < 0 when none is.
    void cyclesAffiches(int premier, int dernier);
    // The column of names took or gave back room: the surface has a new width.
    void colonneNomsChangee();

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
    void signalerCycle(int cycle, bool avant) override;
    QString infobulle(QPoint p, QRect &zone) override;

private:
    // One block of an event in a cycle: its pc (-1 for a zoom block) and its count.
    struct Occurrence
    {
        int pc;
        int nbEvent;
    };

    void paintSurface(QPainter &painter);
    void paintNoms(QPainter &painter);
    void ajusterColonneNoms();
    // The configured event of a row, if one is.
    std::optional<QString> evenementDuRang(int row) const;
    // The blocks of `event` at `cycle`, in the store's order; with ajouterEntree the store
    // gains an empty entry for a cycle it has none for, as a press asks it.
    std::vector<Occurrence> occurrences(int cycle, const QString &event, bool ajouterEntree);

    int nbConfigEvent = 0;
    int niveauZoom = 0;
    QString selectedEventName;
    std::map<QString, ConfigEvent> tabConfig;
    int firstCycleToPaint = 0;
    qint64 originX = 0; // trace pixels run past int at the finest level of a long trace
    int originY = 0;
    int pcToDisplay = -1;
    BlockPainter blocks; // kept to reuse its buffers from frame to frame
    bool colonneNoms = false;
    ViewAids::Plage plageSignalee;
    // The cell of the last left press and which of its blocks it picked: a press on the same
    // cell picks the next one.
    struct Choix
    {
        int cycle = -1;
        QString event;
        size_t index = 0;
    } dernierChoix;
};

#endif
