#ifndef VIEWAIDS_H
#define VIEWAIDS_H

#include "gui/traceGeometry.h"

#include <QString>
#include <QStringList>

#include <vector>

// Arithmetic and texts of the aids a user finds the way with: the cycle under the pointer, the
// marker lines, the cycles on screen, the keyboard's pages, the wheel's notches, the column of
// event names and the tooltips' text. Free of widgets, so that it can be checked on its own.
namespace ViewAids {

// The cycle under x on a surface whose first column stands for cycle `position` and whose
// columns, largeurBlock pixels wide, stand for `step` cycles each: within a coarse column,
// its share of the pixels.
int cycleSous(int x, int position, int step, int largeurBlock);

// Where the marker line of `cycle` is drawn: the middle of that cycle's share of its column.
qint64 xMarqueur(int cycle, int position, int step, int largeurBlock);

// A Ctrl+click on `cycle`: a marker already there goes, otherwise one is added; of two, the
// older one makes room.
void basculerMarqueur(std::vector<int> &marqueurs, int cycle);

struct Plage
{
    int premier = -1;
    int dernier = -1;
};
// The cycles a surface `largeur` pixels wide shows from `position` (the partly shown last
// column included), the last one limited to the trace's last cycle.
Plage cyclesAffiches(int position, int step, int largeurBlock, int largeur, int nbCycleTotal);

// The columns wholly shown on a surface: what a keyboard page moves by (at least one).
int colonnesEntieres(int largeur, int largeurBlock);

// Where a view whose bar runs from minimum to maximum and moves by `step` goes when asked for
// `cible`: within the bar's range, brought down to a multiple of step.
int cibleHorizontale(qint64 cible, int minimum, int maximum, int step);

// A wheel turns in eighths of a degree, 120 a notch: the whole notches of delta, added to what
// the previous turns left, which keeps the rest (a touchpad sends small deltas).
int crans(int &reste, int delta);

// The frame's children moved right by the column of event names, `largeurNoms` wide: the
// strip and the surface start after it, the scroll bars stay where they are.
TraceGeometry::FrameLayout avecColonneNoms(TraceGeometry::FrameLayout layout, int largeurNoms);

// The text of a tooltip: lines shown as they are (names and operands come from files, none
// is taken for markup), without wrapping.
QString infobulle(const QStringList &lignes);

// The first line of a cycle view tooltip: the cycle, or the group of cycles of a coarse
// column, and the event.
QString enteteCellule(int cycle, int step, const QString &event);

} // namespace ViewAids

#endif
