#ifndef READSCHEDULER_H
#define READSCHEDULER_H

#include "controller/blockBuilder.h"
#include "controller/fileWindow.h"
#include "controller/parametres.h"

#include <QObject>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class GraphicTrace;
class Parser;
class ParserTrace;
class ParserZoom;
class PcRows;
class QEvent;

// Keeps the store's two tables in step with the two views' windows of files: the cycle table
// holds the files of the cycle view's window (trace files at level 1, zoom files above), the
// PC table those of the PC view's window (trace files, level 1 only). Decides which parser
// reads which file for which table, drops what leaves a window, and hands finished reads over
// on the GUI thread.
//
// One read of a trace file feeds both tables when both windows want the file, as before a pc
// is chosen, when the PC view's window is the cycle view's. A file the PC view wants that the
// cycle table holds is taken from there instead of being read again. When one window drops a
// file that the other still wants, the read goes on for the other alone.
//
// Threads: GUI thread only, apart from the reads' own work (see BlockBuilder). Nothing waits
// for a read except fermer() and the destructor; a stopped read's parser takes a new file
// once its thread has ended.
class ReadScheduler : public QObject
{
    Q_OBJECT

public:
    enum class Vue { Cycle, Pc };
    // A read that ended, with the tables it fed.
    struct Fin
    {
        int numero = 0;
        bool cycle = false;
        bool pc = false;
    };

    // poster sends an event to the main window; it is called from the parsers' threads too.
    ReadScheduler(GraphicTrace &store, PcRows &rows, std::function<void(QEvent *)> poster);
    ~ReadScheduler() override;

    FileWindow &fenetre(Vue vue) { return vue == Vue::Cycle ? fenetreCycle : fenetrePc; }
    const FileWindow &fenetre(Vue vue) const
    {
        return vue == Vue::Cycle ? fenetreCycle : fenetrePc;
    }

    // What the reads started from now on use: the file names and the block geometry.
    void setParametres(const Parametres &parametres) { noms = parametres; }
    void setReglages(const BlockBuilder::Reglages &reglages);
    const BlockBuilder::Reglages &getReglages() const { return reglages; }

    // Stops every read and leaves both windows empty and inactive, cut in files of
    // nbCycleParTrace cycles. The caller empties the store.
    void vider(int nbCycleParTrace);
    // Moves the view's window to the file of `cycle` (and the files of the `visibles` cycles
    // shown from there) and drops from the view's table what leaves the window (true when a
    // file left); suivre() then reads what the window lacks.
    bool placer(Vue vue, int cycle, int visibles);
    // Starts the reads that the windows wait for.
    void suivre();
    // Brings the windows' bounds up to what the running reads have read.
    void actualiser();
    // How far each running read is, the cycle view's current file first.
    struct Avancement
    {
        QString nom;
        int numero = 0;
        int dernierCycle = 0; // below numero while no cycle is read
        bool cycle = false;   // the tables it feeds
        bool pc = false;
    };
    std::vector<Avancement> avancements() const;
    // A read runs, or waits for its parser, or a file that left a window still has its blocks
    // in the store.
    bool enCours() const;
    // Stops and waits for every thread; nothing is read afterwards.
    void fermer();
    bool ferme() const { return estFerme; }

    // The name of the file of `numero` that the view reads at the current level.
    QString nom(Vue vue, int numero) const;

signals:
    // GUI thread, once the read's blocks are all in the store.
    void lectureTerminee(const ReadScheduler::Fin &fin);
    // GUI thread, once the blocks of files that left the windows are out of the store.
    void fichiersLaches(bool cycle, bool pc);

private:
    class Relais;
    struct Lecture
    {
        std::unique_ptr<BlockBuilder> builder;
        bool annulee = false;
    };
    // One threaded parser and the read it runs or will run next.
    struct ParserSlot
    {
        Parser *parser = nullptr;
        std::unique_ptr<Relais> relais;
        std::shared_ptr<Lecture> lecture; // the read started last
        // The same, for the parser's thread: set before start(), read by the reports.
        std::atomic<BlockBuilder *> courant{nullptr};
        bool busy = false; // running, or its end not yet handled
        std::shared_ptr<Lecture> pending;
    };
    enum Role {
        TraceCourante,
        TracePrecedente,
        TraceSuivante,
        ZoomCourant,
        ZoomPrecedent,
        ZoomSuivant,
        TracePcPrecedente,
        TracePcSuivante,
        NbRoles
    };

    void lancer(Vue vue, int numero);
    void commencer(ParserSlot &slot, std::shared_ptr<Lecture> lecture);
    void parserFinished(ParserSlot *slot);
    void lacher(Vue vue, const FileWindow::Fichier &fichier);
    // Removing a file's blocks from a table waits for the event loop, so that a slide shows
    // its frame first; a read or an adoption of the same file in the same table comes after.
    struct Depot
    {
        Vue vue;
        int numero;
        int nb;
    };
    void deposer(const Depot &depot);
    void viderDepots();
    void viderDepot(Vue vue, int numero);
    bool adopter(int numero);
    void annuler(Lecture &lecture, ParserSlot &slot);
    void toutArreter();
    Role role(Vue vue, int place) const;
    std::vector<std::pair<ParserSlot *, Lecture *>> lectures();

    GraphicTrace &store;
    PcRows &rows;
    const std::function<void(QEvent *)> poster;
    FileWindow fenetreCycle;
    FileWindow fenetrePc;
    Parametres noms;
    BlockBuilder::Reglages reglages;
    std::unique_ptr<ParserTrace> parserTraceCourante;
    std::unique_ptr<ParserTrace> parserTraceSuivante;
    std::unique_ptr<ParserTrace> parserTracePrecedente;
    std::unique_ptr<ParserTrace> parserTracePcSuivante;
    std::unique_ptr<ParserTrace> parserTracePcPrecedente;
    std::unique_ptr<ParserZoom> parserZoomCourant;
    std::unique_ptr<ParserZoom> parserZoomSuivant;
    std::unique_ptr<ParserZoom> parserZoomPrecedent;
    std::array<ParserSlot, NbRoles> emplacements;
    std::vector<Depot> depots;
    bool estFerme = false;
};

#endif
