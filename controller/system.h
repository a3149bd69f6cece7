#ifndef SYSTEM_H
#define SYSTEM_H

#include "controller/loadContext.h"
#include "controller/parametres.h"
#include "core/configEvent.h"
#include "core/infosZoom.h"

#include <QColor>
#include <QLoggingCategory>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>

Q_DECLARE_LOGGING_CATEGORY(lcController)

class Config;
class Couleur;
class GraphicTrace;
class MainFrame;
class Parser;
class ParserAsm;
class ParserConfig;
class ParserTrace;
class ParserZoom;
class QEvent;

// The controller: owns the parameters, the parsers, the trace store and the zoom table,
// decides which file is read when, turns parser callbacks into blocks and tells the main
// window what to show.
//
// Threads. Everything but the trace and zoom callbacks runs on the GUI thread: the slots, the
// loading procedures, the load phases and the configuration and assembly reads. A trace or
// zoom read runs on its parser's thread and builds blocks from a LoadContext of its own; it
// touches only that context, the store (under the store's mutex), tabPositionPc (under
// pcRowsMutex, taken after the store's mutex) and the two atomic upper bounds. When the read
// ends, the parser's finished() reaches the GUI thread as a queued call, which runs the end
// step (next load phase, repaints). A parser is given a new file only once that queued call
// has run; a start wanted earlier waits in its slot as the pending load.
//
// Stale results: "Execute", a zoom change, or a slide that drops a file being read stop the
// reads concerned first (Parser::requestStop: no callback runs once it returns) and mark their
// contexts cancelled, so their end steps are dropped. Nothing waits for a trace or zoom read,
// except closing (closeSignal) and the destructor, which stop and wait for every thread.
class System : public QObject
{
    Q_OBJECT

public:
    explicit System(MainFrame *mainFrame);
    ~System() override;

    // For tests and tools: the state the views are driven from.
    GraphicTrace &getGraphicTrace() const { return *graphicTrace; }
    const Parametres &getParametres() const { return parametres; }
    int getNiveauZoom() const { return niveauZoom; }
    int getEtapeChargement() const { return etapeChargement; }
    int getCycleMinTraceCycle() const { return cycleMinTraceCycle; }
    int getCycleMaxTraceCycle() const { return cycleMaxTraceCycle.load(); }
    int getCycleMinTracePc() const { return cycleMinTracePc; }
    int getCycleMaxTracePc() const { return cycleMaxTracePc.load(); }
    int getNumTraceCourante() const { return numTraceCourante; }
    int getNumTracePrecedente() const { return numTracePrecedente; }
    int getNumTraceSuivante() const { return numTraceSuivante; }
    int getNumTracePcCourante() const { return numTracePcCourante; }
    int getNumTracePcPrecedente() const { return numTracePcPrecedente; }
    int getNumTracePcSuivante() const { return numTracePcSuivante; }
    bool getTracePrecedenteChargee() const { return tracePrecedenteChargee; }
    bool getTraceSuivanteChargee() const { return traceSuivanteChargee; }
    bool getTracePcPrecedenteChargee() const { return tracePcPrecedenteChargee; }
    bool getTracePcSuivanteChargee() const { return tracePcSuivanteChargee; }
    bool getTracePcSeparee() const { return tracePcSeparee; }
    int getCycleCourantTraceCycle() const { return cycleCourantTraceCycle; }
    int getPositionSliderHorizontalTraceCycle() const { return positionSliderHorizontalTraceCycle; }
    int getNumAsmCharge() const { return numAsmCharge; }
    std::map<int, int> getTabPositionPc() const;
    const std::map<QString, ConfigEvent> &getTabConfig() const { return tabConfig; }
    const std::map<int, InfosZoom> &getInfosZoom() const { return infosZoom; }
    // True while a trace or zoom read runs or its end step has not run yet.
    bool chargementEnCours() const;
    // True while a parser thread runs (after closing: never).
    bool threadsEnCours() const;
    // The files whose reads were started (the last thousand), in order, and the number of reads of
    // assembly files: what the tests compare the road of a start with.
    const QStringList &getFichiersLus() const { return fichiersLus; }
    int getNbLecturesAsm() const { return nbLecturesAsm; }

    // Larger trace, zoom, listing or configuration files are refused with a message.
    static constexpr qint64 tailleFichierMax = qint64(128) << 20;

    static QColor calculerCouleur(const QColor &couleurEvent, const QColor &couleurTrace,
                                  int nbEvent, int niveauZoom);

public slots:
    void updateTraceDimension();
    void demarrer();
    void nextCycleTraceCycle(int c);
    void prevCycleTraceCycle(int c);
    void nextCycleTracePc(int c);
    void prevCycleTracePc(int c);
    void sliderHorizontalMovedTraceCycle(int v);
    void sliderVerticalMovedTraceCycle(int v);
    void sliderHorizontalReleasedTraceCycle(int v);
    void sliderHorizontalMovedTracePc(int v);
    void sliderVerticalMovedTracePc(int v);
    void sliderHorizontalReleasedTracePc(int v);
    void nextZoom();
    void prevZoom();
    void parserCurrentFileAsm(int pc, int cycle);
    void endOfConfigParse();
    void errorInConfigParse(const QString &message);
    void parserConfigFile();
    void debutOfConfigParse() {}
    void parserAsmFile(const int &pc);
    void endOfAsmParse();
    void errorInAsmParse(const QString &message);
    void debutOfAsmParse() {}
    void pcAsm(const QString &text);
    void mnemonicAsm(const QString &text);
    void nbValuesAsm(const QString &text);
    void valueAsm(const QString &text);
    void setConfigFile(const QString &configFile);
    void setTraceDirectory(const QString &traceDirectory);
    void setTracePrefixe(const QString &tracePrefixe);
    void setZoomDirectory(const QString &zoomDirectory);
    void setZoomPrefixe(const QString &zoomPrefixe);
    void setNbCycleParTrace(int nbCycleParTrace);
    void setAsmPrefixe(const QString &asmPrefixe);
    void setAsmDirectory(const QString &asmDirectory);
    void setNbPcParAsm(int nbPcParAsm);
    void setNbCycleTotal(int nbCycleTotal);
    void sauvegarderParametres();
    // Closing: stops and waits for every parser thread; nothing is loaded afterwards.
    void arreterChargements();

private:
    class Relais;

    // One threaded parser and the read it runs or will run next.
    struct ParserSlot
    {
        Parser *parser = nullptr;
        std::unique_ptr<Relais> relais;   // takes the parser's reports to the callbacks below
        std::shared_ptr<LoadContext> ctx; // the read started last
        // The same, for the parser's thread: set before start(), read by the callbacks.
        std::atomic<LoadContext *> courant{nullptr};
        bool busy = false; // running, or its end step not yet run
        std::shared_ptr<LoadContext> pending;
    };

    void connectAll();
    void connectTraceCycle(ParserTrace *parser, ParserSlot *slot);
    void connectTracePcOnly(ParserTrace *parser, ParserSlot *slot);
    void connectZoom(ParserZoom *parser, ParserSlot *slot);
    void connectFin(Parser *parser, ParserSlot *slot);
    void initVariables();
    void initPositionTraceCycle(int x, int y);
    void initPositionTracePc(int x, int y);
    void initPositionTracePcOnly(int x, int y);

    // Parameters.
    void initParametres();
    void chargerParametres();
    void envoyerParametres();
    bool refuserNombre(int value, const QString &field, int current);
    QString createCurrentTraceFilename();
    QString createNextTraceFilename();
    QString createPrevTraceFilename();
    QString createNextTracePcFilename();
    QString createPrevTracePcFilename();
    QString createCurrentZoomFilename();
    QString createNextZoomFilename();
    QString createPrevZoomFilename();
    QString createCurrentAsmFilename();

    // Trace loading (GUI thread).
    void parserCurrentFileTrace();
    void parserNextFileTrace();
    void parserPrevFileTrace();
    void parserNextFileTracePc();
    void parserPrevFileTracePc();
    void dropCycleFile(int numero);
    void dropPcFile(int numero);
    bool mustAddInTracePc(const Parser *parser, const QString &filename) const;
    bool isCycleViewName(const QString &name) const;
    std::shared_ptr<LoadContext> newContext(LoadContext::Kind kind, int numero,
                                            const QString &filename);
    void startLoad(Parser *parser, std::shared_ptr<LoadContext> ctx);
    void beginLoad(ParserSlot &slot, std::shared_ptr<LoadContext> ctx);
    static QString refusFichier(const QString &name);
    void parserFinished(ParserSlot *slot);
    void cancelLoads(bool (*match)(const LoadContext &, int), int numero);
    void cancelAllLoads();
    ParserSlot &slotOf(const Parser *parser);
    const ParserSlot &slotOf(const Parser *parser) const;
    bool neighbourBusy(bool suivant) const;
    bool neighbourPcBusy(bool suivant) const;
    void endOfTraceParse();
    void endOfZoomParse();
    void endOfTracePcOnlyParse();
    void avancerEtapeChargement();
    void suivreCycleCourant();
    void suivreCycleCourantPc();

    // Trace and zoom callbacks (parser thread, on the read's own context).
    void addCycleTrace(LoadContext &ctx, int c);
    void newElementTrace(LoadContext &ctx, const QString &name);
    void pcTrace(LoadContext &ctx, int pc);
    void addElementTrace(LoadContext &ctx);
    void addCycleTracePcOnly(LoadContext &ctx, int c);
    void newElementTracePcOnly(LoadContext &ctx, const QString &name);
    void pcTraceOnly(LoadContext &ctx, int pc);
    void addElementTracePcOnly(LoadContext &ctx);
    void newElementZoom(LoadContext &ctx, const QString &name);
    void setNbEventZoom(LoadContext &ctx, const QString &name, int n);
    void addElementZoom(LoadContext &ctx);
    void ajouterLot(LoadContext &ctx);
    void viderStore();
    void errorInTraceParse(LoadContext *ctx, const QString &message);
    bool horsTranche(LoadContext &ctx, int c) const;

    // Zoom levels.
    void initInfosZoom();
    void initInfosTracePc();
    void initNiveauZoomTraceCycle(const int &level);
    void changeNiveauZoom();

    // Configuration and assembly.
    void attributeColor();
    void appliquerPositionsPc();

    void poster(QEvent *event) const;
    void alerte(const QString &message) const;

    MainFrame *const mainFrame; // posted to from any thread; never used once it is gone
    QPointer<MainFrame> mainFrameVivant;

    std::unique_ptr<ParserConfig> parserConfig;
    std::unique_ptr<ParserAsm> parserAsm;
    std::unique_ptr<ParserTrace> parserTraceCourante;
    std::unique_ptr<ParserTrace> parserTraceSuivante;
    std::unique_ptr<ParserTrace> parserTracePcSuivante;
    std::unique_ptr<ParserTrace> parserTracePrecedente;
    std::unique_ptr<ParserTrace> parserTracePcPrecedente;
    std::unique_ptr<ParserZoom> parserZoomCourant;
    std::unique_ptr<ParserZoom> parserZoomSuivant;
    std::unique_ptr<ParserZoom> parserZoomPrecedent;
    std::array<ParserSlot, 8> parserSlots;

    QString zoomFilename;
    QString configFileToParse;
    QString asmFilename;
    QString traceFilename;
    QString tracePcFilename;
    QString nameTraceCourante;
    QString nameTracePrecedente;
    QString nameTraceSuivante;
    QString nameTracePcCourante;
    QString nameTracePcPrecedente;
    QString nameTracePcSuivante;

    int numFirstPcAsm = 0;
    int numLastPcAsm = 0;
    int rowAsm = -1;
    int nbValuesCourant = 0;
    int numValueAsm = 0;
    bool asmEchec = false;
    int dernierPcAsm = -1; // the pc of the last listing read, selected again after a re-read

    std::unique_ptr<GraphicTrace> graphicTrace;
    // Raised by the parser threads as cycles are read, hence atomic.
    std::atomic<int> cycleMaxTraceCycle{0};
    int cycleMinTraceCycle = 0;
    std::atomic<int> cycleMaxTracePc{0};
    int cycleMinTracePc = 0;
    int cycleCourantTraceCycle = 0;
    int cycleCourantTracePc = 0;
    int numTraceCourante = 0;
    int numTracePcCourante = 0;
    int numTraceSuivante = 0;
    int numTracePcSuivante = 0;
    int numTracePrecedente = 0;
    int numTracePcPrecedente = 0;
    int numAsmCourant = 0;
    int numAsmCharge = -1;
    int etapeChargement = 3;
    int niveauZoom = 1;
    int niveauZoomMin = 1;
    int niveauZoomMax = 10;

    bool premierAffichage = true;
    bool tracePrecedenteChargee = false;
    bool tracePcPrecedenteChargee = false;
    bool traceSuivanteChargee = false;
    bool tracePcSuivanteChargee = false;
    bool tracePcSeparee = false;
    bool ferme = false;

    Config *config = nullptr; // owned by parserConfig
    std::map<QString, ConfigEvent> tabConfig;
    std::map<int, InfosZoom> infosZoom;
    mutable std::mutex pcRowsMutex; // guards tabPositionPc
    std::map<int, int> tabPositionPc;
    std::unique_ptr<Couleur> couleur;
    QColor couleurTrace;

    int largeurTraceCycle = 0;
    int hauteurTraceCycle = 0;
    int largeurTracePc = 0;
    int hauteurTracePc = 0;
    int largeurBlockTraceCycle = 0;
    int hauteurBlockTraceCycle = 0;
    int largeurBlockTracePc = 0;
    int hauteurBlockTracePc = 0;
    int positionXTraceCycle = 0;
    int positionYTraceCycle = 0;
    int positionXTracePc = 0;
    int positionXTracePcOnly = 0;
    int positionYTracePc = 0;
    int positionYTracePcOnly = 0;

    Parametres parametres;
    QString parametresFilename;

    int positionSliderHorizontalTraceCycle = 0;
    int positionSliderVerticalTraceCycle = 0;
    int positionSliderHorizontalTracePc = 0;
    int positionSliderVerticalTracePc = 0;
    bool demarrageEnCours = false;

    QStringList fichiersLus;
    int nbLecturesAsm = 0;
};

#endif
