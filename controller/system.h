#ifndef SYSTEM_H
#define SYSTEM_H

#include "controller/parametres.h"
#include "controller/readScheduler.h"
#include "core/configEvent.h"
#include "core/infosZoom.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <vector>

class AssemblyListing;
class Config;
class Couleur;
class GraphicTrace;
class MainFrame;
class ParserConfig;
class QEvent;
class ReadingMonitor;
class TraceFinder;

// The controller: owns the parameters, the trace store, the zoom levels and the event
// configuration, and conducts the parts that do the rest: the read scheduler (which file is
// read when, for which view, by which parser; see ReadScheduler), the views' windows of files
// (FileWindow), the blocks built from each read (BlockBuilder) and the assembly listing
// (AssemblyListing). It takes the main window's requests as slots and tells it what to show.
// The searches of the "Go" menu (TraceFinder) and the report of the files being read
// (ReadingMonitor) answer the main window by themselves.
//
// Threads: GUI thread, apart from the reads' own work (see BlockBuilder). Closing
// (closeSignal) and the destructor stop and wait for every parser thread.
class System : public QObject
{
    Q_OBJECT

public:
    explicit System(MainFrame *mainFrame);
    ~System() override;

    // The store both views draw from.
    GraphicTrace &getGraphicTrace() const { return *graphicTrace; }
    // A trace or zoom read runs or waits for its parser.
    bool chargementEnCours() const { return scheduler->enCours(); }
    // The files each view's window holds, and how far they are read.
    const FileWindow &fenetre(ReadScheduler::Vue vue) const { return scheduler->fenetre(vue); }

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
    // Closing: stops and waits for every parser thread; nothing is read afterwards.
    void arreterChargements();
    // Views the trace of a folder laid out as the simulator writes it (see TraceFolder).
    void ouvrirDossier(const QString &dossier);

private:
    void connectAll();
    void initVariables();
    void initParametres();
    void envoyerParametres();
    void oublierDossier();
    bool refuserNombre(int value, const QString &field, int current);

    // Loading.
    void suivre();
    void reglerLectures();
    void lectureTerminee(const ReadScheduler::Fin &fin);
    void avancerEtapeChargement();
    void recadrer();
    void viderStore();

    // Zoom levels.
    void initInfosZoom();
    void initInfosTracePc();
    void initNiveauZoomTraceCycle(const int &level);
    void changerNiveau(int level);
    void changeNiveauZoom();

    void attributeColor();
    void afficherListing(int pc, int cycle);

    void poster(QEvent *event) const;
    void alerte(const QString &message) const;

    MainFrame *const mainFrame; // posted to from any thread; never used once it is gone
    QPointer<MainFrame> mainFrameVivant;
    bool ferme = false;

    Parametres parametres;
    QString parametresFilename;
    std::unique_ptr<ParserConfig> parserConfig;
    QString configFileToParse;
    bool demarrageEnCours = false;
    Config *config = nullptr; // owned by parserConfig
    std::map<QString, ConfigEvent> tabConfig;
    std::unique_ptr<Couleur> couleur;
    QColor couleurTrace;

    std::unique_ptr<GraphicTrace> graphicTrace;
    std::unique_ptr<AssemblyListing> listing;
    std::unique_ptr<ReadScheduler> scheduler;
    // While reads run: their blocks shown in batches, the files and their progress in the
    // status bar.
    std::unique_ptr<ReadingMonitor> lectures;
    std::unique_ptr<TraceFinder> finder;

    std::map<int, InfosZoom> infosZoom;
    // The levels above 1: those of the trace folder opened, as long as the parameters are
    // still the ones found there.
    std::vector<int> niveauxZoom = {10};
    std::optional<Parametres> parametresDossier;
    int niveauZoom = 1;
    int niveauZoomMin = 1;
    int niveauZoomMax = 10;
    // The first three reads after a change of level (current, previous, next file) each end
    // with a repaint of the cycle view, a missing neighbour counting as read.
    int etapeChargement = 3;
    qint64 budgetOctets = 0; // memory the blocks may take (BudgetMemoire)
    bool premierAffichage = true;
    // The PC view keeps a window of its own, from the moment a pc is chosen to the next change
    // of level; until then its window is the cycle view's.
    bool tracePcSeparee = false;

    int largeurTraceCycle = 0;
    int hauteurTraceCycle = 0;
    int largeurTracePc = 0;
    int hauteurTracePc = 0;
    int largeurBlockTraceCycle = 0;
    int hauteurBlockTraceCycle = 0;
    int largeurBlockTracePc = 0;
    int hauteurBlockTracePc = 0;

    int cycleCourantTraceCycle = 0;
    int cycleCourantTracePc = 0;
    int positionSliderHorizontalTraceCycle = 0;
    int positionSliderHorizontalTracePc = 0;
};

#endif
