#ifndef ASSEMBLYLISTING_H
#define ASSEMBLYLISTING_H

#include <QObject>
#include <QString>

#include <map>
#include <memory>
#include <mutex>
#include <optional>

class GraphicTrace;
class MainFrame;
class ParserAsm;

// The row of each listed pc in the PC view (pc -> y in pixels), read by the reads' threads
// when they place blocks and rebuilt by the GUI thread when a listing is read.
class PcRows
{
public:
    // Held while using ligne() or map(); taken after the store's mutex, never before it.
    std::mutex &mutex() const { return verrou; }
    std::optional<int> ligne(int pc) const
    {
        const auto it = rows.find(pc);
        return it == rows.end() ? std::nullopt : std::optional<int>(it->second);
    }
    const std::map<int, int> &map() const { return rows; }

    // These take the lock themselves.
    std::map<int, int> copie() const;
    // A pc keeps the first row it was given.
    void ajouter(int pc, int y);
    void vider();

private:
    mutable std::mutex verrou;
    std::map<int, int> rows;
};

// The assembly listing shown in the table: reads one listing file at a time, synchronously on
// the GUI thread, fills the table through posted events, gives every listed pc its row in the
// PC view and selects the pc asked for.
class AssemblyListing : public QObject
{
    Q_OBJECT

public:
    AssemblyListing(MainFrame *mainFrame, GraphicTrace &store);
    ~AssemblyListing() override;

    PcRows &rows() { return pcRows; }
    void setHauteurBlockTracePc(int h);

    // Shows the listing file numero (named filename) unless it is the one shown already, then
    // selects the row of pc and shows `cycle` in the PC view.
    void afficher(int pc, int numero, const QString &filename, int cycle);
    // A listing is shown (or was asked for and failed: none then).
    bool charge() const { return numAsmCharge >= 0; }
    // The pc last asked for, -1 before any.
    int pcSelectionne() const { return dernierPc; }
    // Forgets the listing shown (the table was emptied); with lignesAussi, the rows too, which
    // belong to the old cut of the listing files, and the blocks go out of sight until a new
    // listing gives them rows.
    void oublier(bool lignesAussi);
    // Moves the PC-table blocks of every listed pc to its row.
    void appliquerPositions();

private slots:
    void pcAsm(const QString &text);
    void mnemonicAsm(const QString &text);
    void nbValuesAsm(const QString &text);
    void valueAsm(const QString &text);
    void endOfAsmParse();
    void errorInAsmParse(const QString &message);

private:
    // False when the file could not be read at all (nothing shown changes then).
    bool parserAsmFile(int numero, const QString &filename);
    void poster(class QEvent *event) const;

    MainFrame *const mainFrame;
    GraphicTrace &store;
    std::unique_ptr<ParserAsm> parserAsm;
    PcRows pcRows;
    // The table row of each pc of the listing shown (its first row when it is listed twice).
    std::map<int, int> rangees;
    int numAsmCharge = -1;
    int numFirstPcAsm = 0;
    int numLastPcAsm = 0;
    int rowAsm = -1;
    int nbValuesCourant = 0;
    int numValueAsm = 0;
    int hauteurBlockTracePc = 0;
    int positionYTracePc = 0;
    bool echec = false;
    int dernierPc = -1;
};

#endif
