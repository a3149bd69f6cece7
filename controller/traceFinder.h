#ifndef TRACEFINDER_H
#define TRACEFINDER_H

#include "controller/parametres.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class MainFrame;
class QThread;

// Searches the files on disk for what the "&Go" menu asks: the next or previous cycle where a
// pc appears (in the trace files, as far as they go, whatever is loaded) and the next pc of
// the listings with a given mnemonic. One search runs at a time, on a thread of its own, so
// that a long trace never freezes the window; a new request stops the one running, whose
// answer is dropped. Answers reach the main window on the GUI thread.
//
// The searches read with the viewer's own parsers and assume, as the simulator writes them,
// that a file's cycles ascend.
class TraceFinder : public QObject
{
    Q_OBJECT

public:
    // Reads the file names from `parametres` when a search starts.
    TraceFinder(MainFrame *mainFrame, const Parametres &parametres);
    ~TraceFinder() override;

    // The first cycle after `depuis` (versLaFin) or the last one before it where pc appears,
    // below the trace's total when it is known.
    static int cycleDuPc(const Parametres &parametres, int pc, int depuis, bool versLaFin,
                         const std::atomic<bool> &arret);
    // The pc of the listings, in pc order from after apresPc and round again, whose mnemonic is
    // `mnemonique` (case aside); -1 when none is.
    static int pcDuMnemonique(const Parametres &parametres, const QString &mnemonique, int apresPc,
                              const std::atomic<bool> &arret);

public slots:
    void chercherCycle(int pc, int depuis, bool versLaFin);
    void chercherMnemonique(const QString &mnemonique, int apresPc);
    // Stops the search and waits for its thread; nothing is searched afterwards.
    void arreter();

private:
    struct Recherche;
    void lancer(std::shared_ptr<Recherche> recherche);
    void terminee();

    QPointer<MainFrame> mainFrame;
    const Parametres &parametres;
    QThread *thread = nullptr;
    std::shared_ptr<Recherche> enCours;
    std::shared_ptr<Recherche> suivante;
    bool arrete = false;
};

#endif
