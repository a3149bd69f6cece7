#ifndef NAVIGATION_H
#define NAVIGATION_H

#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

class MainFrame;
class QAction;
class StatusInfo;
class TableAsm;
class TraceWidgetCycle;
class TraceWidgetPc;

// The ways a user finds the way through a trace and reads its picture, beyond the scroll bars
// and the zoom buttons: the "&View" menu (event names beside the rows, remembered between
// runs) and the "&Go" menu (go to a cycle, find an instruction and the next or previous cycle
// it appears in, clear the cycle markers), the markers themselves, the zoom by Ctrl+wheel,
// the instructions the views' tooltips name, and the status bar's fields.
//
// Moves go through the views as their arrows do and requests through the main window's
// signals, so the controller sees nothing it does not see already; searches in files run in
// the controller (see TraceFinder), which answers through the main window.
class Navigation : public QObject
{
    Q_OBJECT

public:
    // The menus go before `avant`, the menu bar's "&Help".
    Navigation(MainFrame *mainFrame, TraceWidgetCycle *vueCycle, TraceWidgetPc *vuePc,
               TableAsm *table, QAction *avant);

    StatusInfo *status() const { return statusInfo; }

    // What the controller tells the main window.
    void setNiveauZoom(int niveau);
    void setNiveauxZoom(const std::vector<int> &niveaux);
    // The cycle of pc a search found, -1 when none.
    void cycleTrouve(int pc, int cycle);
    // The pc whose mnemonic is `mnemonique`, -1 when no listing has one.
    void instructionTrouvee(const QString &mnemonique, int pc);

signals:
    // Relayed by the main window's signals of the same names.
    void chercherCycle(int pc, int depuis, bool versLaFin);
    void chercherMnemonique(const QString &mnemonique, int apresPc);

public slots:
    void allerAuCycle();
    void trouverInstruction();
    void suivant();
    void precedent();
    void effacerMarqueurs();
    void afficherNoms(bool affiches);

private:
    void creerMenus(QAction *avant);
    void chercher(bool versLaFin);
    // As a click on the pc's table row does, reading its listing first if the table does not
    // show it.
    void selectionnerPc(int pc);
    int pcSelectionne() const;
    int rangeeDuPc(int pc) const;
    QString instruction(int pc) const;
    void basculerMarqueur(int cycle);
    void zoomer(bool plusFin);

    MainFrame *const mainFrame;
    TraceWidgetCycle *const vueCycle;
    TraceWidgetPc *const vuePc;
    TableAsm *const table;
    StatusInfo *statusInfo;
    QAction *actionNoms = nullptr;

    int niveau = 1;
    std::vector<int> niveaux{1, 10};
    std::vector<int> marqueurs;
    // The search asked for last, and what the last one found: F3 goes on from there as long
    // as the view stays where it took it.
    struct Demande
    {
        int pc = -1;
        bool versLaFin = true;
    } demande;
    struct Trouve
    {
        int pc = -1;
        int cycle = -1;
        int position = -1;
    } trouve;
};

#endif
