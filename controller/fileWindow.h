#ifndef FILEWINDOW_H
#define FILEWINDOW_H

#include <QtGlobal>

#include <functional>
#include <optional>
#include <vector>

// The window of files one view keeps in the store: the file that holds the view's cycle and
// the files just before and after it, when they exist, and, when the view shows more cycles
// than that (a coarse zoom level), every further file it shows. Files are numbered by their
// first cycle and hold nbCycleParFichier cycles each. Plain data, no widget and no thread: the
// read scheduler reads and drops the files this window names, and tells it how far each read
// got. The cycle view and the PC view each have one.
class FileWindow
{
public:
    enum class Etat {
        Manquant,  // does not exist (or is not part of the window)
        Voulu,     // to be read
        EnLecture, // being read
        Charge,    // read, as far as it could be
    };
    struct Fichier
    {
        int numero = 0;
        Etat etat = Etat::Manquant;
        int dernierCycle = 0; // highest cycle read so far; below numero while none
    };
    // The first places of the window, in the order their files are read; the files a wide view
    // shows beyond the next one follow, in ascending order.
    enum Place { Courant = 0, Precedent = 1, Suivant = 2 };
    typedef std::function<bool(int numero)> Existe;

    explicit FileWindow(int nbCycleParFichier = 1) { vider(nbCycleParFichier); }

    // Empty and inactive: nothing is wanted until the window is placed.
    void vider(int nbCycleParFichier);
    bool actif() const { return estActif; }
    int nbCycleParFichier() const { return nb; }

    // Holds the file of `cycle`, its neighbours and the files up to the one of the last of the
    // `visibles` cycles shown from `cycle`, those that exist. When the file of `cycle` does not
    // exist (past the trace's end), the window keeps what it holds, except on the first
    // placing, which leaves it empty. Returns the files that left the window, for the caller
    // to drop from the store (or to stop reading).
    std::vector<Fichier> placer(int cycle, int visibles, const Existe &existe);

    const Fichier &at(int place) const { return places[size_t(place)]; }
    // Every place, in reading order; at least the three first, Manquant when absent.
    const std::vector<Fichier> &fichiers() const { return places; }
    int courant() const { return places[Courant].numero; }
    // The place of a file of the window (Manquant ones excluded), if it is one.
    std::optional<int> placeDe(int numero) const;
    bool contient(int numero) const { return placeDe(numero).has_value(); }
    bool enLecture() const;
    // Every file is read (or does not exist).
    bool complet() const;

    // The next file to read: the first wanted one in the order current, previous, next, and
    // only while none is being read, since a window reads one file at a time.
    std::optional<int> aLire() const;
    void debutLecture(int numero);
    void progression(int numero, int dernierCycle);
    void finLecture(int numero, int dernierCycle);

    // The cycles the view may be scrolled to: from the first cycle of the first file that is
    // read or being read to the last cycle read of the last one; while none is, the current
    // file's first cycle.
    int cycleMin() const;
    int cycleMax() const;

    // What a drag of the view's bar from the accepted position p to v does, when the view
    // shows `niveau` cycles per column and may show [cycleMin, cycleMax]: it is taken, the bar
    // goes back to p (outside the bounds), or it is ignored (not a multiple of the level).
    enum class Deplacement { Accepte, Retour, Ignore };
    static Deplacement glisser(int p, int v, int niveau, int cycleMin, int cycleMax);

private:
    Fichier *trouver(int numero);

    int nb = 1;
    bool estActif = false;
    int dernierDemande = 0; // the last file the last placing asked for
    std::vector<Fichier> places;
};

#endif
