#ifndef PARSER_H
#define PARSER_H

#include <QByteArray>
#include <QIODevice>
#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <QThread>

#include <array>
#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

Q_DECLARE_LOGGING_CATEGORY(lcParsers)

struct XML_ParserStruct;

// Base of the four file parsers. Every input file is XML whose element sequence is checked
// against a small automaton: the derived parser names its elements (initTransition) and
// writes its transitions by element name (remplirAutomate); starts and ends share one table.
// Expat reads the file in chunks and drives startDocument, startElement, endElement,
// characters and endDocument; the text between two tags reaches characters() in one piece.
//
// Failures are reported through errorInParse(QString):
//   - a missing file: "File " + name + " doesn't exist" (parse() returns false);
//   - a file that exists but cannot be read: "File " + name + " can't be read" (returns false);
//   - anything else: a report "\nFile : <name>\nLine <n> : <place lines>\n<reason>", where
//     <n> is the editor line (from 1) of the offending tag and <reason> is
//     "Unexpected tag : '<name>'", "XML error : <reader's reason>" (also for entity
//     declarations, which are refused, and for text or markup beyond the limits below),
//     "Missing element : '<root>'" (no element of this parser's kind at all) or
//     "Number out of range : '<text>'". The parse stops there, without endDocument.
//
// Threaded use (ParserTrace, ParserZoom): setInputFilename() then start(); run() emits
// debutParse(), then the parse's own signals, then endOfParse() if the file was handed to the
// reader (even after a report) or errorInParse("erreur") if it could not be opened.
// Synchronous use: parse() or parseData() on the calling thread.
//
// requestStop() asks a running parse to stop: once it has returned, the parser emits no
// further signal (not even endOfParse) until it is given new input with setInputFilename()
// or parseData(). Like wait(), it blocks while a slot of this parser runs on another thread,
// so neither may be called while holding a lock that such a slot takes; a slot may itself
// call requestStop(). The destructor stops and waits for the thread.
//
// A parser is never restarted while it runs: start() is then a no-op (QThread), and
// setInputFilename(), parse() and parseData() assert and are refused (with a warning).
class Parser : public QThread
{
    Q_OBJECT

public:
    explicit Parser(int nbEtats);
    ~Parser() override;

    // Ignored (and asserted against) while a parse of this object is running.
    void setInputFilename(const QString &name);
    QString getInputFilename() const;

    // Parses inputFilename on the calling thread. False only when the file does not exist
    // or cannot be opened; true once it has been handed to the reader, whatever the outcome.
    bool parse();
    // Parses an in-memory document on the calling thread, naming it nameForReports in the
    // reports; otherwise exactly as parse() of a file with that content. Returns true.
    bool parseData(const QByteArray &data, const QString &nameForReports);

    void requestStop();
    bool isStopRequested() const { return stopDemande.load(); }

    // Limits on the text between two tags and on one piece of markup (a tag with its
    // attributes, a comment, a declaration); beyond them the file is reported as an XML error.
    static constexpr int tailleTexteMax = 1 << 20;
    static constexpr int tailleBaliseMax = 4 << 20;
    // Bounds on the names shared by nomPartage().
    static constexpr int nomsPartagesMax = 4096;
    static constexpr int nomPartageLongueurMax = 256;

signals:
    void debutParse();
    void endOfParse();
    void errorInParse(const QString &message);

protected:
    void run() override;

    // Index of tag in tabTag, or -2 for an element this parser does not know.
    virtual int num(const QString &tag) const;
    // Fills tabTag with the element names, in their fixed order.
    virtual void initTransition() = 0;
    // Writes the transitions into automate, by element name (see transition()).
    virtual void remplirAutomate() = 0;
    // Rebuilds the full table in state 0; called at the start of every parse.
    virtual void initAutomate();

    // Handler operations; returning false stops the parse (after a report).
    virtual bool startDocument();
    virtual bool startElement(const QString &name);
    virtual bool endElement(const QString &name) = 0;
    virtual bool characters(const QString &text) = 0;
    virtual bool endDocument();
    // Receives each text first, as the reader spells it (UTF-8). The default converts it and
    // calls characters(); a parser whose texts are only numbers and names reads the bytes.
    virtual bool caracteres(const char *utf8, size_t length);

    // The lines naming the place reached, each starting with "\n".
    virtual QString lignesPosition() const = 0;

    // The automaton step shared by element starts and ends: false after an unexpected tag.
    // Called with the name the reader passed, it reuses the column the reader already found.
    bool etapeAutomate(const QString &name);

    // Whether characters() does anything with text in the current state; text it would ignore
    // is then never converted. The default wants every text.
    virtual bool texteUtile() const { return true; }

    // The text as one shared string, so that the many blocks named after a few event kinds
    // share one copy. Bounded: past nomsPartagesMax distinct names, or for a name longer than
    // nomPartageLongueurMax, the text comes in a string of its own, so a hostile file cannot
    // pin memory. The reference stays valid as long as the parser lives (past the bound, until
    // the next call).
    const QString &nomPartage(const char *utf8, size_t length);
    void transition(int depuis, const QString &tag, int vers);

    // Builds the report with the given last line (without its leading "\n"), emits it and
    // stops the reader. Always returns false.
    bool signalerErreur(const QString &raison);

    // Decimal conversion of element text: text that is not a number gives 0 (no report);
    // a number beyond the range of int is reported and gives false.
    bool lireEntier(const QString &text, int &value);
    bool lireEntier(const char *utf8, size_t length, int &value);

    // Emits through f() unless a stop was requested; the stop cannot slip in between.
    template<typename F> bool emettre(F &&f)
    {
        if (emissionTenue) { // inside a chunk, whose parse holds the lock already
            if (stopDemande.load())
                return false;
            f();
            return true;
        }
        std::lock_guard<std::recursive_mutex> verrou(emissionMutex);
        if (stopDemande.load())
            return false;
        f();
        return true;
    }

    // Called by derived destructors: a running thread must not outlive the derived part.
    void stopAndWait();

    QStringList tabTag;
    std::vector<int> automate;
    int etatCourant = 0;
    // Whether the last automaton step was on an element this parser knows; the others leave
    // the state as it was and must not act as if they had reached it.
    bool baliseConnue = false;
    QString messageErreur;
    int ligneCourante = 0;
    void fixerLigne(int ligne);

private:
    bool lancerLecture(QIODevice &source, const QString &nameForReports);
    bool entrerParse(bool depuisRun = false);
    bool parseFichier();
    void flushTexte();
    void arreterLecteur();
    // Index in tabTag of a name as the reader gives it, or -2.
    int colonneDe(const char *name) const;
    void element(const char *name, bool debut);

    static void onStartElement(void *userData, const char *name, const char **atts);
    static void onEndElement(void *userData, const char *name);
    static void onCharacters(void *userData, const char *s, int len);
    static void onEntityDecl(void *userData, const char *entityName, int isParameterEntity,
                             const char *value, int valueLength, const char *base,
                             const char *systemId, const char *publicId, const char *notationName);
    static void onSkippedEntity(void *userData, const char *entityName, int isParameterEntity);

    const int nbEtats;
    mutable std::mutex fichierMutex; // guards inputFilename
    QString inputFilename;
    QString nomRapport;
    XML_ParserStruct *lecteur = nullptr;
    std::string texte;
    // Where the line of a report comes from. Asking the reader for the line at every tag
    // would make it count the lines of the whole file as it goes; it is asked only when a
    // report is made: the current tag's line, or the text's (that line less the line breaks
    // of the text, which character references such as &#10; would count too).
    enum class OrigineLigne : quint8 { Fixee, Balise, Texte };
    OrigineLigne origineLigne = OrigineLigne::Fixee;
    int profondeur = 0;   // open elements: the root's end tag fixes the line of the last tag
    QString texteCourant; // reused for every text handed to characters()
    // The element names as the reader spells them, in tabTag's order, with a chain per first
    // byte (premierTag, then tagSuivant) so that a name is compared with few candidates.
    std::vector<QByteArray> tagsUtf8;
    std::array<qint8, 256> premierTag{};
    std::vector<qint8> tagSuivant;
    // During one element callback: the name passed on and its column in tabTag.
    const QString *nomElement = nullptr;
    int colonneElement = -2;
    QString nomInconnu;
    // The shared names (a deque keeps their addresses) and an open-addressing table of their
    // indexes by a hash of their UTF-8 spelling; a general string hash costs more than the
    // rest of an event's work.
    struct NomPartage
    {
        QByteArray utf8;
        QString texte;
    };
    std::deque<NomPartage> nomsPartages;
    std::vector<int> tableNoms;
    const NomPartage *dernierNomPartage = nullptr;
    QString nomHorsTable;        // a name past the bounds
    qint64 octetsSansRappel = 0; // read since the reader last reported anything
    bool lectureArretee = false;
    std::atomic<bool> stopDemande{false};
    std::atomic<bool> enCours{false};
    std::recursive_mutex emissionMutex; // held around every emission, see requestStop()
    // True while the parsing thread holds emissionMutex for a whole chunk; only that thread
    // reads or writes it.
    bool emissionTenue = false;
    // Held for a whole parse: orders one parse's work before the next and before destruction
    // in a way ThreadSanitizer sees (QThread's own start and join it does not).
    std::mutex parseMutex;
};

#endif
