#include "controller/system.h"

#include "controller/assemblyListing.h"
#include "controller/fichiers.h"
#include "controller/readingMonitor.h"
#include "controller/traceFinder.h"
#include "controller/traceFolder.h"
#include "controller/zoomLevels.h"
#include "core/config.h"
#include "core/couleur.h"
#include "core/graphicTrace.h"
#include "core/threadAnnotations.h"
#include "dialogs/messageBox.h"
#include "gui/customEvents.h"
#include "gui/mainFrame.h"
#include "parsers/parserConfig.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include <algorithm>

Q_LOGGING_CATEGORY(lcController, "zelvar.controller", QtWarningMsg)

using Vue = ReadScheduler::Vue;

// ---------------------------------------------------------------------------------------------
// Construction, start, resize, close

System::System(MainFrame *mainFrame)
    : QObject(nullptr), mainFrame(mainFrame), mainFrameVivant(mainFrame),
      parserConfig(std::make_unique<ParserConfig>())
{
    largeurTraceCycle = mainFrame->getLargeurTraceCycle();
    hauteurTraceCycle = mainFrame->getHauteurTraceCycle();
    largeurTracePc = mainFrame->getLargeurTracePc();
    hauteurTracePc = mainFrame->getHauteurTracePc();
    graphicTrace = std::make_unique<GraphicTrace>();
    listing = std::make_unique<AssemblyListing>(mainFrame, *graphicTrace);
    scheduler = std::make_unique<ReadScheduler>(*graphicTrace, listing->rows(),
                                                [this](QEvent *event) { poster(event); });
    connect(scheduler.get(), &ReadScheduler::lectureTerminee, this, &System::lectureTerminee);
    // A view wider than two files shows part of a file that left: repainted once it is gone.
    connect(scheduler.get(), &ReadScheduler::fichiersLaches, this, [this](bool cycle, bool pc) {
        if (cycle)
            this->mainFrame->repaintTraceCycle();
        if (pc)
            this->mainFrame->repaintTracePc();
    });
    lectures = std::make_unique<ReadingMonitor>(mainFrame, *scheduler,
                                                [this] { return niveauZoom == 1 && listing->charge(); });
    finder = std::make_unique<TraceFinder>(mainFrame, parametres);
    couleurTrace = mainFrame->getCouleurTrace();
    // The views draw from this store for good: it is emptied and refilled, never replaced.
    mainFrame->setGraphicTrace(*graphicTrace);
    connectAll();
    initVariables();
    parametresFilename = QStringLiteral("Parametres.txt");
    initParametres();
    initInfosZoom();
}

System::~System()
{
    arreterChargements();
    // The reads go before the store they fill.
    scheduler.reset();
    listing.reset();
}

void System::connectAll()
{
    connect(parserConfig.get(), &Parser::debutParse, this, &System::debutOfConfigParse);
    connect(parserConfig.get(), &Parser::endOfParse, this, &System::endOfConfigParse);
    connect(parserConfig.get(), &Parser::errorInParse, this, &System::errorInConfigParse);

    MainFrame *m = mainFrame;
    connect(m, &MainFrame::nextCycleTraceCycle, this, &System::nextCycleTraceCycle);
    connect(m, &MainFrame::prevCycleTraceCycle, this, &System::prevCycleTraceCycle);
    connect(m, &MainFrame::displayPcTracePc, this, &System::parserCurrentFileAsm);
    connect(m, &MainFrame::sliderHorizontalMovedTraceCycle, this,
            &System::sliderHorizontalMovedTraceCycle);
    connect(m, &MainFrame::sliderVerticalMovedTraceCycle, this,
            &System::sliderVerticalMovedTraceCycle);
    connect(m, &MainFrame::sliderHorizontalReleasedTraceCycle, this,
            &System::sliderHorizontalReleasedTraceCycle);
    connect(m, &MainFrame::nextCycleTracePc, this, &System::nextCycleTracePc);
    connect(m, &MainFrame::prevCycleTracePc, this, &System::prevCycleTracePc);
    connect(m, &MainFrame::sliderHorizontalMovedTracePc, this,
            &System::sliderHorizontalMovedTracePc);
    connect(m, &MainFrame::sliderVerticalMovedTracePc, this, &System::sliderVerticalMovedTracePc);
    connect(m, &MainFrame::sliderHorizontalReleasedTracePc, this,
            &System::sliderHorizontalReleasedTracePc);
    connect(m, &MainFrame::nextZoom, this, &System::nextZoom);
    connect(m, &MainFrame::prevZoom, this, &System::prevZoom);
    connect(m, &MainFrame::demarrer, this, &System::demarrer);
    connect(m, &MainFrame::configFileChanged, this, &System::setConfigFile);
    connect(m, &MainFrame::traceDirectoryChanged, this, &System::setTraceDirectory);
    connect(m, &MainFrame::tracePrefixChanged, this, &System::setTracePrefixe);
    connect(m, &MainFrame::zoomDirectoryChanged, this, &System::setZoomDirectory);
    connect(m, &MainFrame::zoomPrefixChanged, this, &System::setZoomPrefixe);
    connect(m, &MainFrame::nbCycleByFileChanged, this, &System::setNbCycleParTrace);
    connect(m, &MainFrame::asmDirectoryChanged, this, &System::setAsmDirectory);
    connect(m, &MainFrame::asmPrefixChanged, this, &System::setAsmPrefixe);
    connect(m, &MainFrame::nbPcByAsmChanged, this, &System::setNbPcParAsm);
    connect(m, &MainFrame::nbCycleTotalChanged, this, &System::setNbCycleTotal);
    connect(m, &MainFrame::sizeChanged, this, &System::updateTraceDimension);
    connect(m, &MainFrame::ouvrirDossierTrace, this, &System::ouvrirDossier);
    // Saved first, then every thread stopped before the window and its views go.
    connect(m, &MainFrame::closeSignal, this, &System::sauvegarderParametres);
    connect(m, &MainFrame::closeSignal, this, &System::arreterChargements);
    // A window destroyed without closing must not be posted to either.
    connect(m, &QObject::destroyed, this, &System::arreterChargements);
}

// Everything viewed goes: the reads, the store, the listing, the selection; both views go
// back to their first cycle and row and show the empty store at once, so that nothing of the
// previous trace stays on screen if the new start fails.
void System::initVariables()
{
    scheduler->vider(parametres.nbCycleParTrace);
    viderStore();
    listing->oublier(true);
    mainFrame->clearAsm();
    mainFrame->setNumFirstPcToPaintTracePc(-1);
    cycleCourantTraceCycle = 0;
    cycleCourantTracePc = 0;
    positionSliderHorizontalTraceCycle = 0;
    positionSliderHorizontalTracePc = 0;
    niveauZoom = 1;
    mainFrame->setNiveauZoom(niveauZoom);
    premierAffichage = true;
    etapeChargement = 3;
    tracePcSeparee = false;
    demarrageEnCours = false;
    mainFrame->setTraceCycleVerticalScrollBar(0);
    mainFrame->repaintHorizontalSliderMovedTraceCycle(0, true);
    mainFrame->repaintHorizontalSliderMovedTracePc(0, true);
}

void System::demarrer()
{
    if (ferme)
        return;
    oublierDossier();
    initVariables();
    initInfosZoom();
    demarrageEnCours = true;
    configFileToParse = parametres.configFile;
    parserConfigFile();
}

// The parameters found in a folder go where the parameters dialog's OK puts them (the
// dialog, the views, the table; the file at closing), then the trace is started.
void System::ouvrirDossier(const QString &dossier)
{
    if (ferme)
        return;
    const TraceFolder::Detection detection = TraceFolder::detecter(dossier);
    if (!detection.ok()) {
        alerte(detection.message());
        return;
    }
    parametres = detection.parametres;
    envoyerParametres();
    mainFrame->setNbPcParAsm(parametres.nbPcParAsm);
    mainFrame->setNbCycleTotal(parametres.nbCycleTotal);
    niveauxZoom.assign(detection.niveauxZoom.cbegin(), detection.niveauxZoom.cend());
    parametresDossier = parametres;
    mainFrame->setDossierTrace(detection.dossier);
    demarrer();
}

// Parameters changed since a folder was opened point at another trace, with the usual levels.
void System::oublierDossier()
{
    if (!parametresDossier || *parametresDossier == parametres)
        return;
    parametresDossier.reset();
    niveauxZoom = {10};
    mainFrame->setDossierTrace(QString());
}

void System::updateTraceDimension()
{
    if (ferme)
        return;
    largeurTraceCycle = mainFrame->getLargeurTraceCycle();
    hauteurTraceCycle = mainFrame->getHauteurTraceCycle();
    largeurTracePc = mainFrame->getLargeurTracePc();
    hauteurTracePc = mainFrame->getHauteurTracePc();
    initInfosZoom();
    initInfosTracePc();
    initNiveauZoomTraceCycle(niveauZoom);
    recadrer();
}

// The bars' ranges may have shrunk below the views' cycles: the views are brought back within
// them, and their windows follow.
void System::recadrer()
{
    const int maxCycle = mainFrame->getMaximumHorizontalTraceCycle();
    if (cycleCourantTraceCycle > maxCycle) {
        cycleCourantTraceCycle = std::max(0, maxCycle / niveauZoom * niveauZoom);
        positionSliderHorizontalTraceCycle = cycleCourantTraceCycle;
        mainFrame->repaintHorizontalSliderMovedTraceCycle(cycleCourantTraceCycle, true);
    }
    const int maxPc = mainFrame->getMaximumHorizontalTracePc();
    if (cycleCourantTracePc > maxPc) {
        cycleCourantTracePc = std::max(0, maxPc);
        positionSliderHorizontalTracePc = cycleCourantTracePc;
        mainFrame->repaintHorizontalSliderMovedTracePc(cycleCourantTracePc, true);
    }
    suivre();
}

void System::arreterChargements()
{
    ferme = true;
    scheduler->fermer();
}

void System::poster(QEvent *event) const
{
    ThreadAnnotations::handoffRelease(event);
    QCoreApplication::postEvent(mainFrame, event);
}

void System::alerte(const QString &message) const
{
    poster(new MainFrameMessageAlertEvent(message));
}

// ---------------------------------------------------------------------------------------------
// Parameters

void System::initParametres()
{
    if (QFile::exists(parametresFilename)) {
        Parametres::load(parametresFilename, parametres);
    } else {
        parametres = Parametres();
        sauvegarderParametres();
    }
    envoyerParametres();
}

void System::envoyerParametres()
{
    const Parametres &p = parametres;
    mainFrame->setParameters(p.configFile, p.tracePrefixe, p.traceDirectory, p.zoomPrefixe,
                             p.zoomDirectory, p.nbCycleParTrace, p.asmPrefixe, p.asmDirectory,
                             p.nbPcParAsm, p.nbCycleTotal);
}

void System::sauvegarderParametres()
{
    QString error;
    if (!parametres.save(parametresFilename, &error))
        MessageBox::show(mainFrameVivant.data(), MessageBox::Kind::Alert, QStringLiteral("error"),
                         error);
}

void System::setConfigFile(const QString &configFile)
{
    parametres.configFile = configFile;
    mainFrame->setConfigFile(configFile);
}

void System::setTraceDirectory(const QString &traceDirectory)
{
    parametres.traceDirectory = traceDirectory;
    mainFrame->setTraceDirectory(traceDirectory);
}

void System::setTracePrefixe(const QString &tracePrefixe)
{
    parametres.tracePrefixe = tracePrefixe;
    mainFrame->setTracePrefixe(tracePrefixe);
}

void System::setZoomDirectory(const QString &zoomDirectory)
{
    parametres.zoomDirectory = zoomDirectory;
    mainFrame->setZoomDirectory(zoomDirectory);
}

void System::setZoomPrefixe(const QString &zoomPrefixe)
{
    parametres.zoomPrefixe = zoomPrefixe;
    mainFrame->setZoomPrefixe(zoomPrefixe);
}

void System::setAsmDirectory(const QString &asmDirectory)
{
    parametres.asmDirectory = asmDirectory;
    mainFrame->setAsmDirectory(asmDirectory);
}

void System::setAsmPrefixe(const QString &asmPrefixe)
{
    parametres.asmPrefixe = asmPrefixe;
    mainFrame->setAsmPrefixe(asmPrefixe);
}

// A count that is not positive would divide by zero in every file name: it is refused, and
// the value in force goes back into the dialog.
bool System::refuserNombre(int value, const QString &field, int current)
{
    if (value > 0)
        return false;
    MessageBox::show(mainFrameVivant.data(), MessageBox::Kind::Alert, QStringLiteral("error"),
                     field + QStringLiteral(" : ") + QString::number(value) +
                         QStringLiteral(" is not a positive number; the value stays ") +
                         QString::number(current) + QLatin1Char('.'));
    return true;
}

void System::setNbCycleParTrace(int nbCycleParTrace)
{
    const int avant = parametres.nbCycleParTrace;
    if (!refuserNombre(nbCycleParTrace, QStringLiteral("Nb Cycles by File"), avant))
        parametres.nbCycleParTrace = nbCycleParTrace;
    mainFrame->setNbCycleParTrace(parametres.nbCycleParTrace);
    // The windows of files are numbered by the old cut: sliding them with the new one would
    // mix files that overlap. They are read again, cut the new way, around the current cycle.
    if (parametres.nbCycleParTrace != avant && !ferme && scheduler->fenetre(Vue::Cycle).actif())
        changeNiveauZoom();
}

// Setting the table's rows empties it: the listing it showed is read again, cut the new way
// when the cut changed (and then the rows of the old cut go), and the pc last asked for is
// selected again, at the PC view's own cycle.
void System::setNbPcParAsm(int nbPcParAsm)
{
    const int avant = parametres.nbPcParAsm;
    if (!refuserNombre(nbPcParAsm, QStringLiteral("Nb Pc by File"), avant))
        parametres.nbPcParAsm = nbPcParAsm;
    mainFrame->setNbPcParAsm(parametres.nbPcParAsm);
    if (ferme || !listing->charge())
        return;
    listing->oublier(parametres.nbPcParAsm != avant);
    afficherListing(listing->pcSelectionne(), cycleCourantTracePc);
}

// "Nb Cycle Total" only bounds the bars: any number is taken.
void System::setNbCycleTotal(int nbCycleTotal)
{
    parametres.nbCycleTotal = nbCycleTotal;
    mainFrame->setNbCycleTotal(nbCycleTotal);
    // The bars end at the new total at once, and the views come back within them.
    mainFrame->initScrollBarTraceCycle();
    mainFrame->initScrollBarTracePc(hauteurBlockTracePc);
    recadrer();
}

// ---------------------------------------------------------------------------------------------
// Loading (GUI thread)

// Moves the windows of files to the views' cycles: the cycle view's always, the PC view's at
// level 1, where it is the cycle view's until a pc is chosen. Nothing moves before the first
// load has placed them.
void System::suivre()
{
    if (ferme || !scheduler->fenetre(Vue::Cycle).actif())
        return;
    reglerLectures();
    // A coarse level's view is wider than three files: its window holds every file it shows.
    const int colonnes = infosZoom[niveauZoom].getNbBlockHorizontalToPaint();
    scheduler->placer(Vue::Cycle, cycleCourantTraceCycle, colonnes * niveauZoom);
    const int colonnesPc = largeurBlockTracePc > 0 ? largeurTracePc / largeurBlockTracePc + 1 : 1;
    if (niveauZoom == 1)
        scheduler->placer(Vue::Pc, tracePcSeparee ? cycleCourantTracePc : cycleCourantTraceCycle,
                          tracePcSeparee ? colonnesPc : colonnes);
    scheduler->suivre();
    lectures->actualiser();
}

// What the reads started from now on use: the file names and the level's block geometry.
void System::reglerLectures()
{
    BlockBuilder::Reglages reglages;
    reglages.niveauZoom = niveauZoom;
    reglages.nbCycleParTrace = parametres.nbCycleParTrace;
    reglages.largeurBlockTraceCycle = largeurBlockTraceCycle;
    reglages.hauteurBlockTraceCycle = hauteurBlockTraceCycle;
    reglages.largeurBlockTracePc = largeurBlockTracePc;
    reglages.hauteurBlockTracePc = hauteurBlockTracePc;
    reglages.couleurTrace = couleurTrace;
    reglages.tabConfig = tabConfig;
    reglages.budgetOctets = budgetOctets;
    scheduler->setReglages(reglages);
    scheduler->setParametres(parametres);
}

// Each view that a read fed is repainted; the first reads after a change of level repaint as
// the load goes from the current file to the previous one, then to the next one.
void System::lectureTerminee(const ReadScheduler::Fin &fin)
{
    if (fin.cycle && etapeChargement < 3) {
        if (premierAffichage) {
            poster(new MainFrameRepaintTraceCycleEvent());
            if (niveauZoom == 1)
                poster(new MainFrameRepaintTracePcEvent());
            premierAffichage = false;
        }
        avancerEtapeChargement();
    } else if (fin.cycle) {
        poster(new MainFrameRepaintTraceCycleEvent());
    }
    if (fin.pc && listing->charge())
        poster(new MainFrameRepaintTracePcEvent());
}

void System::avancerEtapeChargement()
{
    const FileWindow &fenetre = scheduler->fenetre(Vue::Cycle);
    const auto manquant = [&](int place) {
        return fenetre.at(place).etat == FileWindow::Etat::Manquant;
    };
    if (etapeChargement > 0)
        poster(new MainFrameRepaintTraceCycleEvent());
    ++etapeChargement;
    // A neighbour that does not exist counts as read at once.
    while ((etapeChargement == 1 && manquant(FileWindow::Precedent)) ||
           (etapeChargement == 2 && manquant(FileWindow::Suivant))) {
        poster(new MainFrameRepaintTraceCycleEvent());
        ++etapeChargement;
    }
}

// Empties the store at once, but deletes its blocks only once control is back in the event
// loop: by then the new reads run on their threads, and the old blocks go while they read
// instead of before.
void System::viderStore()
{
    std::shared_ptr<GraphicTrace> anciens = graphicTrace->takeAll();
    if (anciens->getSizeTabCycle() == 0 && anciens->getTabPc().empty())
        return;
    QMetaObject::invokeMethod(
        this, [anciens] { anciens->clear(); }, Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------------------------
// Navigation (GUI thread)

void System::nextCycleTraceCycle(int c)
{
    cycleCourantTraceCycle = c;
    positionSliderHorizontalTraceCycle = c;
    suivre();
}

void System::prevCycleTraceCycle(int c)
{
    nextCycleTraceCycle(c);
}

// The view has moved itself; its window follows at level 1 only, the only level it has one.
// The position is kept at every level, so that a drag the controller ignores there is put
// back where the view draws from.
void System::nextCycleTracePc(int c)
{
    cycleCourantTracePc = c;
    positionSliderHorizontalTracePc = c;
    if (niveauZoom == 1 && tracePcSeparee)
        suivre();
}

void System::prevCycleTracePc(int c)
{
    nextCycleTracePc(c);
}

void System::sliderHorizontalMovedTraceCycle(int v)
{
    scheduler->actualiser();
    const FileWindow &fenetre = scheduler->fenetre(Vue::Cycle);
    const int p = positionSliderHorizontalTraceCycle;
    switch (FileWindow::glisser(p, v, niveauZoom, fenetre.cycleMin(), fenetre.cycleMax())) {
    case FileWindow::Deplacement::Retour:
        mainFrame->repaintHorizontalSliderMovedTraceCycle(p, true);
        return;
    case FileWindow::Deplacement::Ignore:
        return;
    case FileWindow::Deplacement::Accepte:
        break;
    }
    positionSliderHorizontalTraceCycle = v;
    cycleCourantTraceCycle = v;
    suivre();
    mainFrame->repaintHorizontalSliderMovedTraceCycle(v, false);
}

void System::sliderVerticalMovedTraceCycle(int v)
{
    mainFrame->repaintVerticalSliderMovedTraceCycle(v);
}

// The bar goes back to the position the view shows, whatever left them apart: a drag outside
// the bounds, or to a cycle the level has no column for.
void System::sliderHorizontalReleasedTraceCycle(int v)
{
    if (v != positionSliderHorizontalTraceCycle)
        mainFrame->repaintHorizontalSliderMovedTraceCycle(positionSliderHorizontalTraceCycle, true);
}

void System::sliderHorizontalMovedTracePc(int v)
{
    if (niveauZoom != 1)
        return;
    scheduler->actualiser();
    const FileWindow &fenetre = scheduler->fenetre(Vue::Pc);
    const int p = positionSliderHorizontalTracePc;
    if (FileWindow::glisser(p, v, 1, fenetre.cycleMin(), fenetre.cycleMax()) ==
        FileWindow::Deplacement::Retour) {
        mainFrame->repaintHorizontalSliderMovedTracePc(p, true);
        return;
    }
    positionSliderHorizontalTracePc = v;
    cycleCourantTracePc = v;
    if (tracePcSeparee)
        suivre();
    mainFrame->repaintHorizontalSliderMovedTracePc(v, false);
}

// At every level, so that the view and the table stay level with the bar; above level 1 the
// view is empty anyway.
void System::sliderVerticalMovedTracePc(int v)
{
    mainFrame->repaintVerticalSliderMovedTracePc(v);
}

void System::sliderHorizontalReleasedTracePc(int v)
{
    if (v != positionSliderHorizontalTracePc)
        mainFrame->repaintHorizontalSliderMovedTracePc(positionSliderHorizontalTracePc, true);
}

// ---------------------------------------------------------------------------------------------
// Zoom levels (GUI thread)

void System::initInfosZoom()
{
    infosZoom = ZoomLevels::build(largeurTraceCycle, hauteurTraceCycle, niveauxZoom);
    niveauZoomMin = infosZoom.begin()->first;
    niveauZoomMax = infosZoom.rbegin()->first;
    mainFrame->setNiveauxZoom(infosZoom);
}

void System::initInfosTracePc()
{
    const int h = mainFrame->getRowHeightTableAsm();
    largeurBlockTracePc = h;
    hauteurBlockTracePc = h;
    listing->setHauteurBlockTracePc(h);
    // A table without rows yet has no height: nothing to divide by.
    mainFrame->setGeometrieTracePc(
        {h, h, h > 0 ? largeurTracePc / h + 1 : 0, h > 0 ? hauteurTracePc / h + 1 : 0});
}

void System::initNiveauZoomTraceCycle(const int &level)
{
    niveauZoom = level;
    mainFrame->setNiveauZoom(niveauZoom);
    const InfosZoom &info = infosZoom[level];
    largeurBlockTraceCycle = info.getLargeurBlock();
    hauteurBlockTraceCycle = info.getHauteurBlock();
    mainFrame->setGeometrieTraceCycle({info.getLargeurBlock(), info.getHauteurBlock(),
                                       info.getNbBlockHorizontalToPaint(),
                                       info.getNbBlockVerticalToPaint()});
}

void System::nextZoom()
{
    if (ferme)
        return;
    if (niveauZoom == niveauZoomMin) {
        poster(
            new MainFrameMessageInfoEvent(QStringLiteral("Vous etes au niveau de zoom maximum")));
        return;
    }
    const auto it = infosZoom.lower_bound(niveauZoom);
    changerNiveau(it == infosZoom.begin() ? niveauZoomMin : std::prev(it)->first);
}

void System::prevZoom()
{
    if (ferme)
        return;
    if (niveauZoom == niveauZoomMax) {
        poster(
            new MainFrameMessageInfoEvent(QStringLiteral("Vous etes au niveau de zoom minimum")));
        return;
    }
    const auto it = infosZoom.upper_bound(niveauZoom);
    changerNiveau(it == infosZoom.end() ? niveauZoomMax : it->first);
}

// The current cycle comes down to a multiple of the new level, and within the bar's new
// range, which is narrower at a coarser level: the view never shows cycles past the trace's end.
void System::changerNiveau(int level)
{
    initNiveauZoomTraceCycle(level);
    const int maxCycle = mainFrame->getMaximumHorizontalTraceCycle() / level * level;
    cycleCourantTraceCycle = std::clamp(cycleCourantTraceCycle / level * level, 0, maxCycle);
    positionSliderHorizontalTraceCycle = cycleCourantTraceCycle;
    mainFrame->setTraceCycleHorizontalScrollBar(cycleCourantTraceCycle);
    changeNiveauZoom();
}

void System::changeNiveauZoom()
{
    // The setting is read again at each start and change of level, not at every step.
    budgetOctets = BudgetMemoire::budget();
    premierAffichage = true;
    scheduler->vider(parametres.nbCycleParTrace);
    listing->oublier(true);
    mainFrame->clearAsm();
    viderStore();
    tracePcSeparee = false;
    mainFrame->setNumFirstPcToPaintTracePc(-1);
    poster(new MainFrameRepaintTracePcEvent());
    etapeChargement = 0;
    // The first placing activates the windows; a current file that does not exist leaves
    // them empty, with its name in a message.
    reglerLectures();
    scheduler->placer(Vue::Cycle, cycleCourantTraceCycle,
                      infosZoom[niveauZoom].getNbBlockHorizontalToPaint() * niveauZoom);
    const FileWindow::Fichier &courant = scheduler->fenetre(Vue::Cycle).at(FileWindow::Courant);
    if (courant.etat == FileWindow::Etat::Manquant) {
        alerte(Fichiers::manquant(scheduler->nom(Vue::Cycle, courant.numero)));
        // Nothing will be read: the view shows the new level, empty, now.
        poster(new MainFrameRepaintTraceCycleEvent());
    }
    suivre();
}

// ---------------------------------------------------------------------------------------------
// Configuration (GUI thread)

void System::parserConfigFile()
{
    if (configFileToParse.isEmpty()) {
        errorInConfigParse(QStringLiteral("Config file to parse undefined"));
        return;
    }
    const QString refus = Fichiers::refus(configFileToParse);
    if (!refus.isEmpty()) {
        errorInConfigParse(refus);
        return;
    }
    parserConfig->setInputFilename(configFileToParse);
    parserConfig->parse();
}

void System::errorInConfigParse(const QString &message)
{
    alerte(message);
}

void System::endOfConfigParse()
{
    config = parserConfig->getConfig();
    tabConfig = config ? config->getTabConfig() : std::map<QString, ConfigEvent>();
    couleur = std::make_unique<Couleur>();
    attributeColor();
    mainFrame->setTabConfig(tabConfig);
    mainFrame->setNbConfigEvent(static_cast<int>(tabConfig.size()));
    mainFrame->setNbCycleTotal(parametres.nbCycleTotal);
    initInfosTracePc();
    if (demarrageEnCours) {
        demarrageEnCours = false;
        initNiveauZoomTraceCycle(niveauZoomMax);
        changeNiveauZoom();
    }
}

void System::attributeColor()
{
    int k = 0;
    for (auto &entry : tabConfig)
        entry.second.setBrush(couleur->brush(k++));
}

// ---------------------------------------------------------------------------------------------
// Assembly (GUI thread)

// The PC view takes over the cycle view's window and cycle, then the listing holding the pc
// is shown with the pc selected. (The cycle where the pc was picked is the cycle view's
// window's anyway.)
void System::parserCurrentFileAsm(int pc, int /*cycle*/)
{
    // Blocks without an instruction (and zoom blocks) have pc -1: no listing holds it.
    if (ferme || pc < 0)
        return;
    tracePcSeparee = true;
    cycleCourantTracePc = std::min(cycleCourantTraceCycle, mainFrame->getMaximumHorizontalTracePc());
    positionSliderHorizontalTracePc = cycleCourantTracePc;
    suivre();
    afficherListing(pc, cycleCourantTracePc);
}

void System::afficherListing(int pc, int cycle)
{
    const int numero = Parametres::numeroFichier(pc, parametres.nbPcParAsm);
    listing->afficher(pc, numero, parametres.asmFilename(numero), cycle);
}
