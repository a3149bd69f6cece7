#include "controller/system.h"

#include "controller/zoomLevels.h"
#include "core/config.h"
#include "core/couleur.h"
#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "core/threadAnnotations.h"
#include "dialogs/messageBox.h"
#include "gui/customEvents.h"
#include "gui/mainFrame.h"
#include "parsers/parserAsm.h"
#include "parsers/parserConfig.h"
#include "parsers/parserTrace.h"
#include "parsers/parserZoom.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>

Q_LOGGING_CATEGORY(lcController, "zelvar.controller", QtWarningMsg)

namespace {

void raiseTo(std::atomic<int> &bound, int value)
{
    int current = bound.load();
    while (value > current && !bound.compare_exchange_weak(current, value)) {
    }
}

// The entry of an event in the read's table; an unknown name joins the table with the default
// settings, as a plain lookup would.
LoadContext::Evenement &evenement(LoadContext &ctx, const QString &name)
{
    // A zoom event names itself twice (name, then count): the last one is tried first.
    if (ctx.dernierEvenement < ctx.evenements.size()) {
        LoadContext::Evenement &e = ctx.evenements[ctx.dernierEvenement];
        if (e.name.constData() == name.constData() && e.name.size() == name.size())
            return e;
    }
    for (size_t i = 0; i < ctx.evenements.size(); ++i) {
        LoadContext::Evenement &e = ctx.evenements[i];
        if (e.name.constData() == name.constData() && e.name.size() == name.size()) {
            ctx.dernierEvenement = i;
            return e;
        }
    }
    const ConfigEvent &event = ctx.tabConfig[name];
    for (size_t i = 0; i < ctx.evenements.size(); ++i) {
        LoadContext::Evenement &e = ctx.evenements[i];
        if (e.name == name) {
            e.name = name; // later calls with this string hit at once
            ctx.dernierEvenement = i;
            return e;
        }
    }
    LoadContext::Evenement e;
    e.name = name;
    e.positionY = event.getPosition() * ctx.hauteurBlockTraceCycle;
    e.brush = event.getBrush();
    ctx.evenements.push_back(std::move(e));
    ctx.dernierEvenement = ctx.evenements.size() - 1;
    return ctx.evenements.back();
}

// The callbacks use the build state without a lock; each ends by publishing its writes, which
// the GUI thread acquires in parserFinished once the read has ended.
struct Publication
{
    explicit Publication(LoadContext &ctx) : ctx(ctx) {}
    ~Publication() { ctx.publie.store(true, std::memory_order_release); }
    Publication(const Publication &) = delete;
    Publication &operator=(const Publication &) = delete;
    LoadContext &ctx;
};

bool isCycleView(const LoadContext &ctx, int numero)
{
    return ctx.kind != LoadContext::Kind::TracePcOnly && ctx.numero == numero;
}

bool isPcView(const LoadContext &ctx, int numero)
{
    return ctx.kind == LoadContext::Kind::TracePcOnly && ctx.numero == numero;
}

QString fileMissing(const QString &name)
{
    return QStringLiteral("File ") + name + QStringLiteral(" doesn't exist");
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction, start, resize, close

System::System(MainFrame *mainFrame)
    : QObject(nullptr), mainFrame(mainFrame), mainFrameVivant(mainFrame)
{
    parserConfig = std::make_unique<ParserConfig>();
    parserAsm = std::make_unique<ParserAsm>();
    parserTraceCourante = std::make_unique<ParserTrace>();
    parserTraceSuivante = std::make_unique<ParserTrace>();
    parserTracePcSuivante = std::make_unique<ParserTrace>();
    parserTracePrecedente = std::make_unique<ParserTrace>();
    parserTracePcPrecedente = std::make_unique<ParserTrace>();
    parserZoomCourant = std::make_unique<ParserZoom>();
    parserZoomSuivant = std::make_unique<ParserZoom>();
    parserZoomPrecedent = std::make_unique<ParserZoom>();
    Parser *const threaded[] = {parserTraceCourante.get(),     parserTraceSuivante.get(),
                                parserTracePrecedente.get(),   parserTracePcSuivante.get(),
                                parserTracePcPrecedente.get(), parserZoomCourant.get(),
                                parserZoomSuivant.get(),       parserZoomPrecedent.get()};
    for (size_t i = 0; i < parserSlots.size(); ++i)
        parserSlots[i].parser = threaded[i];

    largeurTraceCycle = mainFrame->getLargeurTraceCycle();
    hauteurTraceCycle = mainFrame->getHauteurTraceCycle();
    largeurTracePc = mainFrame->getLargeurTracePc();
    hauteurTracePc = mainFrame->getHauteurTracePc();
    graphicTrace = std::make_unique<GraphicTrace>();
    couleurTrace = mainFrame->getCouleurTrace();
    connectAll();
    initVariables();
    parametresFilename = QStringLiteral("Parametres.txt");
    initParametres();
    initInfosZoom();
}

System::~System()
{
    arreterChargements();
    // The parsers go before the store their callbacks fill.
    parserZoomPrecedent.reset();
    parserZoomSuivant.reset();
    parserZoomCourant.reset();
    parserTracePcPrecedente.reset();
    parserTracePrecedente.reset();
    parserTracePcSuivante.reset();
    parserTraceSuivante.reset();
    parserTraceCourante.reset();
    parserAsm.reset();
    parserConfig.reset();
    for (ParserSlot &slot : parserSlots) {
        slot.parser = nullptr;
        slot.ctx.reset();
        slot.pending.reset();
    }
}

void System::connectAll()
{
    connect(parserConfig.get(), &Parser::debutParse, this, &System::debutOfConfigParse);
    connect(parserConfig.get(), &Parser::endOfParse, this, &System::endOfConfigParse);
    connect(parserConfig.get(), &Parser::errorInParse, this, &System::errorInConfigParse);
    connect(parserAsm.get(), &ParserAsm::pc, this, &System::pcAsm);
    connect(parserAsm.get(), &ParserAsm::mnemonic, this, &System::mnemonicAsm);
    connect(parserAsm.get(), &ParserAsm::nbValues, this, &System::nbValuesAsm);
    connect(parserAsm.get(), &ParserAsm::value, this, &System::valueAsm);
    connect(parserAsm.get(), &Parser::debutParse, this, &System::debutOfAsmParse);
    connect(parserAsm.get(), &Parser::endOfParse, this, &System::endOfAsmParse);
    connect(parserAsm.get(), &Parser::errorInParse, this, &System::errorInAsmParse);

    connectTraceCycle(parserTraceCourante.get(), &slotOf(parserTraceCourante.get()));
    connectTraceCycle(parserTraceSuivante.get(), &slotOf(parserTraceSuivante.get()));
    connectTracePcOnly(parserTracePcSuivante.get(), &slotOf(parserTracePcSuivante.get()));
    connectTraceCycle(parserTracePrecedente.get(), &slotOf(parserTracePrecedente.get()));
    connectTracePcOnly(parserTracePcPrecedente.get(), &slotOf(parserTracePcPrecedente.get()));
    connectZoom(parserZoomCourant.get(), &slotOf(parserZoomCourant.get()));
    connectZoom(parserZoomSuivant.get(), &slotOf(parserZoomSuivant.get()));
    connectZoom(parserZoomPrecedent.get(), &slotOf(parserZoomPrecedent.get()));

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
    // Saved first, then every thread stopped before the window and its views go.
    connect(m, &MainFrame::closeSignal, this, &System::sauvegarderParametres);
    connect(m, &MainFrame::closeSignal, this, &System::arreterChargements);
    // A window destroyed without closing must not be posted to either.
    connect(m, &QObject::destroyed, this, &System::arreterChargements);
}

// Takes a threaded parser's reports to the callbacks of the read in progress, on the parser's
// thread, by plain calls: a signal per event would cost a good part of a large file's read.
class System::Relais final : public ParserTrace::Recepteur, public ParserZoom::Recepteur
{
public:
    Relais(System &system, ParserSlot &slot, bool pcSeul)
        : system(system), slot(slot), pcSeul(pcSeul)
    {}

    void addCycleTrace(int cycle) override
    {
        if (pcSeul)
            system.addCycleTracePcOnly(ctx(), cycle);
        else
            system.addCycleTrace(ctx(), cycle);
    }
    void newEventTrace(const QString &name) override
    {
        if (pcSeul)
            system.newElementTracePcOnly(ctx(), name);
        else
            system.newElementTrace(ctx(), name);
    }
    void pcTrace(int pc) override
    {
        if (pcSeul)
            system.pcTraceOnly(ctx(), pc);
        else
            system.pcTrace(ctx(), pc);
    }
    void addEventTrace() override
    {
        if (pcSeul)
            system.addElementTracePcOnly(ctx());
        else
            system.addElementTrace(ctx());
    }
    void addCycleZoom(int cycle) override { system.addCycleTrace(ctx(), cycle); }
    void newEventZoom(const QString &name) override { system.newElementZoom(ctx(), name); }
    void setNbEventZoom(const QString &name, int count) override
    {
        system.setNbEventZoom(ctx(), name, count);
    }
    void addEventZoom() override { system.addElementZoom(ctx()); }

private:
    LoadContext &ctx() { return *slot.courant.load(); }

    System &system;
    ParserSlot &slot;
    const bool pcSeul;
};

// The callbacks of a threaded parser run on its thread and work on the context of the read in
// progress; errors are reported there too, and the end of the thread comes back to the GUI
// thread.
void System::connectTraceCycle(ParserTrace *parser, ParserSlot *slot)
{
    slot->relais = std::make_unique<Relais>(*this, *slot, false);
    parser->setRecepteur(slot->relais.get());
    connectFin(parser, slot);
}

void System::connectTracePcOnly(ParserTrace *parser, ParserSlot *slot)
{
    slot->relais = std::make_unique<Relais>(*this, *slot, true);
    parser->setRecepteur(slot->relais.get());
    connectFin(parser, slot);
}

void System::connectFin(Parser *parser, ParserSlot *slot)
{
    const auto ctx = [slot]() -> LoadContext & { return *slot->courant.load(); };
    connect(
        parser, &Parser::errorInParse, this,
        [=](const QString &message) { errorInTraceParse(&ctx(), message); }, Qt::DirectConnection);
    connect(
        parser, &QThread::finished, this, [=] { parserFinished(slot); }, Qt::QueuedConnection);
}

void System::connectZoom(ParserZoom *parser, ParserSlot *slot)
{
    slot->relais = std::make_unique<Relais>(*this, *slot, false);
    parser->setRecepteur(slot->relais.get());
    connectFin(parser, slot);
}

void System::initVariables()
{
    cancelAllLoads();
    viderStore();
    nameTraceCourante.clear();
    nameTracePrecedente.clear();
    nameTraceSuivante.clear();
    nameTracePcCourante.clear();
    nameTracePcPrecedente.clear();
    nameTracePcSuivante.clear();
    numAsmCharge = -1;
    positionSliderHorizontalTraceCycle = 0;
    positionSliderVerticalTraceCycle = 0;
    positionSliderHorizontalTracePc = 0;
    positionSliderVerticalTracePc = 0;
    cycleMaxTraceCycle = 0;
    cycleMinTraceCycle = 0;
    cycleMaxTracePc = 0;
    cycleMinTracePc = 0;
    cycleCourantTraceCycle = 0;
    niveauZoom = 1;
    mainFrame->setNiveauZoom(niveauZoom);
    premierAffichage = true;
    tracePrecedenteChargee = false;
    tracePcPrecedenteChargee = false;
    traceSuivanteChargee = false;
    tracePcSuivanteChargee = false;
    tracePcSeparee = false;
    demarrageEnCours = false;
}

void System::initPositionTraceCycle(int x, int y)
{
    positionXTraceCycle = x;
    positionYTraceCycle = y;
}

void System::initPositionTracePc(int x, int y)
{
    positionXTracePc = x;
    positionYTracePc = y;
}

void System::initPositionTracePcOnly(int x, int y)
{
    positionXTracePcOnly = x;
    positionYTracePcOnly = y;
}

void System::demarrer()
{
    if (ferme)
        return;
    initVariables();
    initInfosZoom();
    demarrageEnCours = true;
    configFileToParse = parametres.configFile;
    parserConfigFile();
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
}

void System::arreterChargements()
{
    if (!ferme)
        qCDebug(lcController) << "stopping every parser thread";
    ferme = true;
    cancelAllLoads();
    for (ParserSlot &slot : parserSlots) {
        if (slot.parser)
            slot.parser->wait();
        if (slot.ctx) {
            (void)slot.ctx->publie.load(std::memory_order_acquire);
            slot.ctx->jeterLot();
        }
    }
}

bool System::chargementEnCours() const
{
    for (const ParserSlot &slot : parserSlots) {
        if (slot.busy || slot.pending)
            return true;
    }
    return false;
}

bool System::threadsEnCours() const
{
    for (const ParserSlot &slot : parserSlots) {
        if (slot.parser && slot.parser->isRunning())
            return true;
    }
    return false;
}

std::map<int, int> System::getTabPositionPc() const
{
    std::lock_guard<std::mutex> lock(pcRowsMutex);
    return tabPositionPc;
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
// Parameters and file names

void System::initParametres()
{
    if (QFile::exists(parametresFilename)) {
        chargerParametres();
        return;
    }
    parametres = Parametres();
    sauvegarderParametres();
    envoyerParametres();
}

void System::chargerParametres()
{
    Parametres::load(parametresFilename, parametres);
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
    if (!refuserNombre(nbCycleParTrace, QStringLiteral("Nb Cycles by File"),
                       parametres.nbCycleParTrace))
        parametres.nbCycleParTrace = nbCycleParTrace;
    mainFrame->setNbCycleParTrace(parametres.nbCycleParTrace);
    // The window of files is numbered by the old cut: sliding it with the new one would mix
    // files that overlap. It is read again, cut the new way, around the current cycle.
    if (parametres.nbCycleParTrace != avant && !ferme &&
        (graphicTrace->getSizeTabCycle() > 0 || chargementEnCours()))
        changeNiveauZoom();
}

void System::setNbPcParAsm(int nbPcParAsm)
{
    const int avant = parametres.nbPcParAsm;
    if (!refuserNombre(nbPcParAsm, QStringLiteral("Nb Pc by File"), parametres.nbPcParAsm))
        parametres.nbPcParAsm = nbPcParAsm;
    mainFrame->setNbPcParAsm(parametres.nbPcParAsm);
    // Setting the table's rows has emptied it: the listing it showed is read again, or
    // forgotten when the listing files are now cut differently.
    if (numAsmCharge < 0)
        return;
    if (parametres.nbPcParAsm == avant && !ferme)
        parserAsmFile(dernierPcAsm);
    else
        numAsmCharge = -1;
}

void System::setNbCycleTotal(int nbCycleTotal)
{
    if (!refuserNombre(nbCycleTotal, QStringLiteral("Nb Cycle Total"), parametres.nbCycleTotal))
        parametres.nbCycleTotal = nbCycleTotal;
    mainFrame->setNbCycleTotal(parametres.nbCycleTotal);
}

QString System::createCurrentTraceFilename()
{
    return traceFilename = parametres.traceFilename(numTraceCourante);
}

QString System::createNextTraceFilename()
{
    return traceFilename = parametres.traceFilename(numTraceSuivante);
}

QString System::createPrevTraceFilename()
{
    return traceFilename = parametres.traceFilename(numTracePrecedente);
}

QString System::createNextTracePcFilename()
{
    return tracePcFilename = parametres.traceFilename(numTracePcSuivante);
}

QString System::createPrevTracePcFilename()
{
    return tracePcFilename = parametres.traceFilename(numTracePcPrecedente);
}

QString System::createCurrentZoomFilename()
{
    return zoomFilename = parametres.zoomFilename(niveauZoom, numTraceCourante);
}

QString System::createNextZoomFilename()
{
    return zoomFilename = parametres.zoomFilename(niveauZoom, numTraceSuivante);
}

QString System::createPrevZoomFilename()
{
    return zoomFilename = parametres.zoomFilename(niveauZoom, numTracePrecedente);
}

QString System::createCurrentAsmFilename()
{
    return asmFilename = parametres.asmFilename(numAsmCourant);
}

// ---------------------------------------------------------------------------------------------
// Starting, cancelling and ending reads (GUI thread)

System::ParserSlot &System::slotOf(const Parser *parser)
{
    for (ParserSlot &slot : parserSlots) {
        if (slot.parser == parser)
            return slot;
    }
    Q_UNREACHABLE();
}

const System::ParserSlot &System::slotOf(const Parser *parser) const
{
    return const_cast<System *>(this)->slotOf(parser);
}

std::shared_ptr<LoadContext> System::newContext(LoadContext::Kind kind, int numero,
                                                const QString &filename)
{
    auto ctx = std::make_shared<LoadContext>(kind, numero, filename);
    ctx->niveauZoom = niveauZoom;
    ctx->nbCycleParTrace = parametres.nbCycleParTrace;
    ctx->largeurBlockTraceCycle = largeurBlockTraceCycle;
    ctx->hauteurBlockTraceCycle = hauteurBlockTraceCycle;
    ctx->largeurBlockTracePc = largeurBlockTracePc;
    ctx->hauteurBlockTracePc = hauteurBlockTracePc;
    ctx->couleurTrace = couleurTrace;
    ctx->tabConfig = tabConfig;
    ctx->positionXTraceCycle = positionXTraceCycle;
    ctx->positionYTraceCycle = positionYTraceCycle;
    ctx->positionXTracePc = positionXTracePc;
    ctx->positionXTracePcOnly = positionXTracePcOnly;
    ctx->positionYTracePcOnly = positionYTracePcOnly;
    return ctx;
}

void System::startLoad(Parser *parser, std::shared_ptr<LoadContext> ctx)
{
    Q_ASSERT(QThread::currentThread() == thread());
    ParserSlot &slot = slotOf(parser);
    if (slot.busy) {
        // The parser still reads (or is being stopped): this read starts once it is done.
        if (slot.pending)
            slot.pending->cancelled = true;
        slot.pending = std::move(ctx);
        return;
    }
    beginLoad(slot, std::move(ctx));
}

void System::beginLoad(ParserSlot &slot, std::shared_ptr<LoadContext> ctx)
{
    qCDebug(lcController) << "reading" << ctx->filename;
    fichiersLus.append(ctx->filename);
    if (fichiersLus.size() > 1000) // a record for tests, not a history that grows as one scrolls
        fichiersLus.removeFirst();
    slot.ctx = std::move(ctx);
    slot.courant.store(slot.ctx.get());
    slot.busy = true;
    const QString refus = refusFichier(slot.ctx->filename);
    if (!refus.isEmpty()) {
        // Like a file that cannot be opened: one message, then the end step as usual.
        alerte(refus);
        ParserSlot *const s = &slot;
        QMetaObject::invokeMethod(
            this, [this, s] { parserFinished(s); }, Qt::QueuedConnection);
        return;
    }
    slot.parser->setInputFilename(slot.ctx->filename);
    slot.parser->start();
}

// A file far beyond what a simulator writes per slice would fill the memory with blocks (or,
// for the configuration and the listing, freeze the window while it is read): it is refused
// before any reading, with the reason. A directory is left to the parser, which cannot open it.
QString System::refusFichier(const QString &name)
{
    const QFileInfo info(name);
    if (info.isFile() && info.size() > tailleFichierMax)
        return QStringLiteral("File ") + name + QStringLiteral(" is too large: ") +
               QString::number(info.size()) + QStringLiteral(" bytes, at most ") +
               QString::number(tailleFichierMax) + QStringLiteral(" are read");
    return QString();
}

void System::parserFinished(ParserSlot *slot)
{
    if (!slot->parser || !slot->busy)
        return;
    // finished() is emitted just before the thread ends; what is left of it is Qt's own.
    slot->parser->wait();
    std::shared_ptr<LoadContext> ctx = slot->ctx;
    {
        // The read's writes come before what follows here.
        (void)ctx->publie.load(std::memory_order_acquire);
        std::lock_guard<std::mutex> lock(ctx->mutex);
        ctx->graphicBlockCourant.reset();
    }
    slot->busy = false;
    if (ferme)
        return;
    // The last cycle's batch; a cancelled read's is not wanted.
    if (ctx->cancelled)
        ctx->jeterLot();
    else
        ajouterLot(*ctx);
    if (!ctx->cancelled) {
        switch (ctx->kind) {
        case LoadContext::Kind::TraceCycle:
            endOfTraceParse();
            break;
        case LoadContext::Kind::Zoom:
            endOfZoomParse();
            break;
        case LoadContext::Kind::TracePcOnly:
            endOfTracePcOnlyParse();
            break;
        }
    }
    if (slot->pending && !slot->busy) {
        std::shared_ptr<LoadContext> next = std::move(slot->pending);
        slot->pending.reset();
        if (!next->cancelled)
            beginLoad(*slot, std::move(next));
    }
    suivreCycleCourant();
    suivreCycleCourantPc();
}

// Stops the reads whose results are no longer wanted. No callback of theirs runs once
// requestStop() has returned, so it must not be called while holding the store's lock,
// which the callbacks take.
void System::cancelLoads(bool (*match)(const LoadContext &, int), int numero)
{
    for (ParserSlot &slot : parserSlots) {
        if (slot.pending && match(*slot.pending, numero)) {
            slot.pending->cancelled = true;
            slot.pending.reset();
        }
        if (slot.busy && !slot.ctx->cancelled && match(*slot.ctx, numero)) {
            slot.ctx->cancelled = true;
            slot.parser->requestStop();
        }
    }
}

void System::cancelAllLoads()
{
    cancelLoads([](const LoadContext &, int) { return true; }, 0);
}

bool System::neighbourBusy(bool suivant) const
{
    if (etapeChargement < 3)
        return true;
    const Parser *parser = nullptr;
    if (niveauZoom != 1)
        parser = suivant ? static_cast<const Parser *>(parserZoomSuivant.get())
                         : parserZoomPrecedent.get();
    else
        parser = suivant ? static_cast<const Parser *>(parserTraceSuivante.get())
                         : parserTracePrecedente.get();
    const ParserSlot &slot = slotOf(parser);
    return slot.busy || slot.pending;
}

bool System::neighbourPcBusy(bool suivant) const
{
    const ParserSlot &slot =
        slotOf(suivant ? parserTracePcSuivante.get() : parserTracePcPrecedente.get());
    return slot.busy || slot.pending;
}

// Whether a read of the cycle view also feeds the store's PC table, decided for the parser
// that will read the file: a file already in the PC view's own window is there already.
bool System::mustAddInTracePc(const Parser *parser, const QString &filename) const
{
    if (parser == parserTraceCourante.get())
        return true;
    if (parser != parserTraceSuivante.get() && parser != parserTracePrecedente.get())
        return false;
    // Until a pc is chosen the PC view's window is the cycle view's: its table follows it.
    // So it is while a start reads its three files, even once a pc is chosen: the PC view
    // took this window as it was, before any of its neighbours was read.
    if (!tracePcSeparee || etapeChargement < 3)
        return true;
    return filename != nameTracePcPrecedente && filename != nameTracePcCourante &&
           filename != nameTracePcSuivante;
}

void System::endOfTraceParse()
{
    mainFrame->setGraphicTrace(*graphicTrace);
    if (premierAffichage) {
        poster(new MainFrameRepaintTraceCycleEvent());
        poster(new MainFrameRepaintTracePcEvent());
        premierAffichage = false;
    }
    avancerEtapeChargement();
}

void System::endOfZoomParse()
{
    mainFrame->setGraphicTrace(*graphicTrace);
    if (premierAffichage) {
        poster(new MainFrameRepaintTraceCycleEvent());
        premierAffichage = false;
    }
    avancerEtapeChargement();
}

void System::avancerEtapeChargement()
{
    switch (etapeChargement) {
    case 0:
        etapeChargement = 1;
        parserPrevFileTrace();
        break;
    case 1:
        poster(new MainFrameRepaintTraceCycleEvent());
        etapeChargement = 2;
        parserNextFileTrace();
        break;
    case 2:
        poster(new MainFrameRepaintTraceCycleEvent());
        etapeChargement = 3;
        break;
    default:
        break;
    }
}

void System::endOfTracePcOnlyParse()
{
    mainFrame->setGraphicTrace(*graphicTrace);
}

// ---------------------------------------------------------------------------------------------
// Loading procedures (GUI thread)

void System::parserCurrentFileTrace()
{
    const int nb = parametres.nbCycleParTrace;
    const int n = Parametres::numeroFichier(cycleCourantTraceCycle, nb);
    numTraceCourante = n;
    numTracePcCourante = n;
    // The neighbours are not read yet, but their numbers are already the new window's: a pc
    // chosen meanwhile hands them to the PC view, whose drops keep what they cover.
    numTracePrecedente = n - nb;
    numTraceSuivante = n + nb;
    numTracePcPrecedente = n - nb;
    numTracePcSuivante = n + nb;
    nameTracePrecedente = nameTracePcPrecedente = parametres.traceFilename(n - nb);
    nameTraceSuivante = nameTracePcSuivante = parametres.traceFilename(n + nb);
    cycleMinTraceCycle = n;
    cycleMaxTraceCycle = n;
    cycleMinTracePc = n;
    cycleMaxTracePc = n;
    QString name;
    if (niveauZoom != 1) {
        name = createCurrentZoomFilename();
    } else {
        name = createCurrentTraceFilename();
        nameTraceCourante = name;
        nameTracePcCourante = name;
    }
    if (!QFile::exists(name)) {
        alerte(fileMissing(name));
        return;
    }
    initPositionTraceCycle((n / niveauZoom) * largeurBlockTraceCycle - largeurBlockTraceCycle, 0);
    initPositionTracePc((n / niveauZoom) * largeurBlockTracePc - largeurBlockTracePc,
                        -hauteurBlockTracePc);
    if (niveauZoom != 1) {
        startLoad(parserZoomCourant.get(), newContext(LoadContext::Kind::Zoom, n, name));
    } else {
        auto ctx = newContext(LoadContext::Kind::TraceCycle, n, name);
        ctx->addInTracePc = mustAddInTracePc(parserTraceCourante.get(), name);
        startLoad(parserTraceCourante.get(), ctx);
    }
}

// Removes one file of the cycle view's window from the store, stopping its read first if it
// is still being read. Its PC-table blocks go too unless the PC view's window still shows
// them; until a pc is chosen that window is the cycle view's own, so they always go.
void System::dropCycleFile(int numero)
{
    const int nb = parametres.nbCycleParTrace;
    cancelLoads(isCycleView, numero);
    graphicTrace->deleteElementsTabCycle(numero, numero + nb);
    if (tracePcSeparee)
        graphicTrace->deleteElementsTabPc(numero, numero + nb - 1, numTracePcPrecedente,
                                          numTracePcSuivante + nb - 1);
    else
        graphicTrace->deleteElementsTabPc(numero, numero + nb - 1, numero + nb, numero + nb);
}

void System::dropPcFile(int numero)
{
    const int nb = parametres.nbCycleParTrace;
    cancelLoads(isPcView, numero);
    graphicTrace->deleteElementsTabPc(numero, numero + nb - 1, numTracePrecedente,
                                      numTraceSuivante + nb - 1);
}

void System::parserNextFileTrace()
{
    const int nb = parametres.nbCycleParTrace;
    // While a start reads its three files the window stays around the first one, wherever
    // the view is moved meanwhile; it follows the view once they are read.
    if (etapeChargement == 3)
        numTraceCourante = Parametres::numeroFichier(cycleCourantTraceCycle, nb);
    nameTraceCourante = parametres.traceFilename(numTraceCourante);
    numTraceSuivante = numTraceCourante + nb;
    if (!tracePcSeparee)
        numTracePcSuivante = numTraceSuivante;
    QString name;
    if (niveauZoom != 1) {
        name = createNextZoomFilename();
    } else {
        name = createNextTraceFilename();
        nameTraceSuivante = parametres.traceFilename(numTraceSuivante);
    }

    // The old previous file falls out only when it is now more than one file behind.
    const auto dropPrevious = [&] {
        if (numTracePrecedente < numTraceCourante - nb) {
            dropCycleFile(numTracePrecedente);
            numTracePrecedente = numTraceCourante - nb;
        }
        cycleMinTraceCycle = numTracePrecedente;
        if (!tracePcSeparee)
            numTracePcPrecedente = numTracePrecedente;
        nameTracePrecedente = parametres.traceFilename(numTracePrecedente);
    };

    if (QFile::exists(name)) {
        if (traceSuivanteChargee) {
            if (tracePrecedenteChargee) {
                dropPrevious();
            } else {
                tracePrecedenteChargee = true;
                if (etapeChargement == 2)
                    tracePcPrecedenteChargee = true;
                numTracePrecedente = numTraceCourante - nb;
                cycleMinTraceCycle = numTracePrecedente;
                if (!tracePcSeparee)
                    numTracePcPrecedente = numTracePrecedente;
                nameTracePrecedente = parametres.traceFilename(numTracePrecedente);
            }
        }
        traceSuivanteChargee = true;
        if (etapeChargement == 2)
            tracePcSuivanteChargee = true;
        initPositionTraceCycle(
            (numTraceSuivante / niveauZoom) * largeurBlockTraceCycle - largeurBlockTraceCycle, 0);
        initPositionTracePc((numTraceSuivante / niveauZoom) * largeurBlockTracePc -
                                largeurBlockTracePc,
                            -hauteurBlockTracePc);
        cycleMaxTraceCycle = numTraceSuivante;
        if (niveauZoom != 1) {
            startLoad(parserZoomSuivant.get(),
                      newContext(LoadContext::Kind::Zoom, numTraceSuivante, name));
        } else {
            auto ctx = newContext(LoadContext::Kind::TraceCycle, numTraceSuivante, name);
            ctx->addInTracePc = mustAddInTracePc(parserTraceSuivante.get(), name);
            startLoad(parserTraceSuivante.get(), ctx);
        }
        return;
    }

    // End of the trace.
    if (tracePrecedenteChargee)
        dropPrevious();
    traceSuivanteChargee = false;
    if (etapeChargement == 2)
        tracePcSuivanteChargee = false;
    if (niveauZoom != 1)
        endOfZoomParse();
    else
        endOfTraceParse();
}

void System::parserPrevFileTrace()
{
    const int nb = parametres.nbCycleParTrace;
    if (etapeChargement == 3)
        numTraceCourante = Parametres::numeroFichier(cycleCourantTraceCycle, nb);
    nameTraceCourante = parametres.traceFilename(numTraceCourante);
    numTracePrecedente = numTraceCourante - nb;
    if (!tracePcSeparee)
        numTracePcPrecedente = numTracePrecedente;
    const QString name = niveauZoom != 1 ? createPrevZoomFilename() : createPrevTraceFilename();
    nameTracePrecedente = parametres.traceFilename(numTracePrecedente);

    // The old next file falls out only when it is now more than one file ahead.
    const auto dropNext = [&] {
        if (numTraceSuivante > numTraceCourante + nb) {
            const int ancienneSuivante = numTraceSuivante;
            dropCycleFile(numTraceSuivante);
            numTraceSuivante = numTraceCourante + nb;
            cycleMaxTraceCycle = ancienneSuivante - 1;
        }
        if (!tracePcSeparee)
            numTracePcSuivante = numTraceSuivante;
        nameTraceSuivante = parametres.traceFilename(numTraceSuivante);
    };

    if (QFile::exists(name)) {
        if (traceSuivanteChargee) {
            dropNext();
        } else if (tracePrecedenteChargee) {
            traceSuivanteChargee = true;
            if (etapeChargement == 1)
                tracePcSuivanteChargee = true;
            numTraceSuivante = numTraceCourante + nb;
            cycleMaxTraceCycle = numTraceSuivante + nb - 1;
            if (!tracePcSeparee)
                numTracePcSuivante = numTraceSuivante;
            nameTraceSuivante = parametres.traceFilename(numTraceSuivante);
        }
        tracePrecedenteChargee = true;
        if (etapeChargement == 1)
            tracePcPrecedenteChargee = true;
        initPositionTraceCycle(
            (numTracePrecedente / niveauZoom) * largeurBlockTraceCycle - largeurBlockTraceCycle, 0);
        initPositionTracePc((numTracePrecedente / niveauZoom) * largeurBlockTracePc -
                                largeurBlockTracePc,
                            -hauteurBlockTracePc);
        cycleMinTraceCycle = numTracePrecedente;
        if (niveauZoom != 1) {
            startLoad(parserZoomPrecedent.get(),
                      newContext(LoadContext::Kind::Zoom, numTracePrecedente, name));
        } else {
            auto ctx = newContext(LoadContext::Kind::TraceCycle, numTracePrecedente, name);
            ctx->addInTracePc = mustAddInTracePc(parserTracePrecedente.get(), name);
            startLoad(parserTracePrecedente.get(), ctx);
        }
        return;
    }

    // Start of the trace.
    if (traceSuivanteChargee)
        dropNext();
    tracePrecedenteChargee = false;
    if (etapeChargement == 1)
        tracePcPrecedenteChargee = false;
    if (niveauZoom != 1)
        endOfZoomParse();
    else
        endOfTraceParse();
}

bool System::isCycleViewName(const QString &name) const
{
    return name == nameTraceCourante || name == nameTracePrecedente || name == nameTraceSuivante;
}

void System::parserNextFileTracePc()
{
    const int nb = parametres.nbCycleParTrace;
    numTracePcCourante =
        std::min(Parametres::numeroFichier(cycleCourantTracePc, nb), numTracePcCourante + nb);
    nameTracePcCourante = parametres.traceFilename(numTracePcCourante);
    numTracePcSuivante = numTracePcCourante + nb;
    const QString name = createNextTracePcFilename();
    nameTracePcSuivante = name;

    const auto dropPrevious = [&] {
        if (numTracePcPrecedente < numTracePcCourante - nb) {
            dropPcFile(numTracePcPrecedente);
            numTracePcPrecedente = numTracePcCourante - nb;
        }
        cycleMinTracePc = numTracePcPrecedente;
        nameTracePcPrecedente = parametres.traceFilename(numTracePcPrecedente);
    };

    if (QFile::exists(name)) {
        if (tracePcSuivanteChargee) {
            if (tracePcPrecedenteChargee) {
                dropPrevious();
            } else {
                tracePcPrecedenteChargee = true;
                numTracePcPrecedente = numTracePcCourante - nb;
                cycleMinTracePc = numTracePcPrecedente;
                nameTracePcPrecedente = parametres.traceFilename(numTracePcPrecedente);
            }
        }
        tracePcSuivanteChargee = true;
        initPositionTracePcOnly(numTracePcSuivante * largeurBlockTracePc - largeurBlockTracePc,
                                -hauteurBlockTracePc);
        if (!isCycleViewName(name)) {
            cycleMaxTracePc = numTracePcSuivante;
            startLoad(parserTracePcSuivante.get(),
                      newContext(LoadContext::Kind::TracePcOnly, numTracePcSuivante, name));
        } else {
            cycleMaxTracePc = numTracePcSuivante + nb - 1;
        }
        return;
    }

    if (tracePcPrecedenteChargee)
        dropPrevious();
    tracePcSuivanteChargee = false;
    endOfTracePcOnlyParse();
}

void System::parserPrevFileTracePc()
{
    const int nb = parametres.nbCycleParTrace;
    numTracePcCourante =
        std::max(Parametres::numeroFichier(cycleCourantTracePc, nb), numTracePcCourante - nb);
    nameTracePcCourante = parametres.traceFilename(numTracePcCourante);
    numTracePcPrecedente = numTracePcCourante - nb;
    const QString name = createPrevTracePcFilename();
    nameTracePcPrecedente = name;

    const auto dropNext = [&] {
        if (numTracePcSuivante > numTracePcCourante + nb) {
            const int ancienneSuivante = numTracePcSuivante;
            dropPcFile(numTracePcSuivante);
            numTracePcSuivante = numTracePcCourante + nb;
            // The new next file is loaded: its cycles stay reachable.
            cycleMaxTracePc = ancienneSuivante - 1;
        }
        nameTracePcSuivante = parametres.traceFilename(numTracePcSuivante);
    };

    if (QFile::exists(name)) {
        if (tracePcSuivanteChargee) {
            dropNext();
        } else if (tracePcPrecedenteChargee) {
            tracePcSuivanteChargee = true;
            numTracePcSuivante = numTracePcCourante + nb;
            cycleMaxTracePc = numTracePcSuivante + nb - 1;
            nameTracePcSuivante = parametres.traceFilename(numTracePcSuivante);
        }
        tracePcPrecedenteChargee = true;
        initPositionTracePcOnly(numTracePcPrecedente * largeurBlockTracePc - largeurBlockTracePc,
                                -hauteurBlockTracePc);
        cycleMinTracePc = numTracePcPrecedente;
        if (!isCycleViewName(name))
            startLoad(parserTracePcPrecedente.get(),
                      newContext(LoadContext::Kind::TracePcOnly, numTracePcPrecedente, name));
        return;
    }

    if (tracePcSuivanteChargee)
        dropNext();
    tracePcPrecedenteChargee = false;
    endOfTracePcOnlyParse();
}

// ---------------------------------------------------------------------------------------------
// Callbacks of the trace and zoom reads (parser thread)

// A file holds the cycles of its slice only. A cycle outside it (a damaged or foreign file)
// would be stored where no drop of the window ever reaches it: its events are left out, and
// the file is named once.
bool System::horsTranche(LoadContext &ctx, int c) const
{
    ctx.horsTranche = c < ctx.numero || c - ctx.numero >= ctx.nbCycleParTrace;
    if (ctx.horsTranche && !ctx.horsTrancheSignale) {
        ctx.horsTrancheSignale = true;
        alerte(QStringLiteral("File ") + ctx.filename + QStringLiteral(" : cycle ") +
               QString::number(c) + QStringLiteral(" is outside its cycles ") +
               QString::number(ctx.numero) + QStringLiteral(" to ") +
               QString::number(ctx.numero + ctx.nbCycleParTrace - 1) +
               QStringLiteral("; the events of such cycles are not shown"));
    }
    return ctx.horsTranche;
}

// Columns come from the cycle numbers, so that a file whose cycles repeat, skip or come out
// of order still draws every event in its own column.
void System::addCycleTrace(LoadContext &ctx, int c)
{
    const Publication publication(ctx);
    ajouterLot(ctx);
    if (horsTranche(ctx, c))
        return;
    ctx.cycleParse = c;
    ctx.positionXTraceCycle = (c / ctx.niveauZoom) * ctx.largeurBlockTraceCycle;
    ctx.positionXTracePc = (c / ctx.niveauZoom) * ctx.largeurBlockTracePc;
    ctx.cleLot = c;
    ctx.cleEnAttente = true;
    raiseTo(cycleMaxTraceCycle, c);
}

// A pc belongs to the event it is read in: one left over from an event that was left out
// (outside the file's cycles) must not give the next event a row.
void System::newElementTrace(LoadContext &ctx, const QString &name)
{
    const Publication publication(ctx);
    ctx.graphicBlockCourant.reset();
    ctx.pcRecu = false;
    ctx.blocZoomAttendu = false;
    if (ctx.horsTranche)
        return;
    const LoadContext::Evenement &event = evenement(ctx, name);
    ctx.positionYTraceCycle = event.positionY;
    // A zoom block is made with its count, whose shade it takes.
    if (ctx.kind == LoadContext::Kind::Zoom) {
        ctx.blocZoomAttendu = true;
        return;
    }
    ctx.graphicBlockCourant = std::make_unique<GraphicBlock>(name, event.brush);
    GraphicBlock &block = *ctx.graphicBlockCourant;
    block.setPositionTraceCycle(ctx.positionXTraceCycle, ctx.positionYTraceCycle);
    block.setSizeTraceCycle(ctx.largeurBlockTraceCycle, ctx.hauteurBlockTraceCycle);
}

// A negative pc names no instruction: the block stays out of the PC view, like one without pc.
void System::pcTrace(LoadContext &ctx, int pc)
{
    const Publication publication(ctx);
    if (pc < 0)
        return;
    ctx.pcCourant = pc;
    if (ctx.graphicBlockCourant)
        ctx.graphicBlockCourant->setPc(pc);
    ctx.pcRecu = true;
}

void System::addElementTrace(LoadContext &ctx)
{
    const Publication publication(ctx);
    if (!ctx.graphicBlockCourant)
        return;
    GraphicBlock *block = ctx.graphicBlockCourant.get();
    block->setCycle(ctx.cycleParse);
    int pc = -1;
    if (ctx.pcRecu && ctx.addInTracePc) {
        pc = ctx.pcCourant;
        // The row is known only when the block joins the store.
        block->setPositionTracePc(ctx.positionXTracePc, -ctx.hauteurBlockTracePc);
        block->setSizeTracePc(ctx.largeurBlockTracePc, ctx.hauteurBlockTracePc);
        ctx.pcRecu = false;
    }
    ctx.lot.push_back(block);
    ctx.graphicBlockCourant.release(); // the batch owns it now
    if (pc >= 0)
        ctx.lotPc.emplace_back(pc, block);
}

void System::addCycleTracePcOnly(LoadContext &ctx, int c)
{
    const Publication publication(ctx);
    ajouterLot(ctx);
    if (horsTranche(ctx, c))
        return;
    ctx.cycleParse = c;
    ctx.positionXTracePcOnly = c * ctx.largeurBlockTracePc;
    raiseTo(cycleMaxTracePc, c);
}

void System::newElementTracePcOnly(LoadContext &ctx, const QString &name)
{
    const Publication publication(ctx);
    ctx.graphicBlockCourant.reset();
    ctx.pcRecu = false;
    if (ctx.horsTranche)
        return;
    ctx.graphicBlockCourant = std::make_unique<GraphicBlock>(name, evenement(ctx, name).brush);
}

void System::pcTraceOnly(LoadContext &ctx, int pc)
{
    const Publication publication(ctx);
    if (pc < 0)
        return;
    ctx.pcCourant = pc;
    if (ctx.graphicBlockCourant)
        ctx.graphicBlockCourant->setPc(pc);
    ctx.pcRecu = true;
}

void System::addElementTracePcOnly(LoadContext &ctx)
{
    const Publication publication(ctx);
    if (!ctx.pcRecu || !ctx.graphicBlockCourant) {
        ctx.graphicBlockCourant.reset(); // a block without a pc has no row to go to
        return;
    }
    GraphicBlock *block = ctx.graphicBlockCourant.get();
    block->setCycle(ctx.cycleParse);
    block->setPositionTracePc(ctx.positionXTracePcOnly, -ctx.hauteurBlockTracePc);
    block->setSizeTracePc(ctx.largeurBlockTracePc, ctx.hauteurBlockTracePc);
    ctx.pcRecu = false;
    ctx.lot.push_back(block);
    ctx.graphicBlockCourant.release(); // the batch owns it now
    ctx.lotPc.emplace_back(ctx.pcCourant, block);
}

void System::newElementZoom(LoadContext &ctx, const QString &name)
{
    newElementTrace(ctx, name);
}

void System::setNbEventZoom(LoadContext &ctx, const QString &name, int n)
{
    const Publication publication(ctx);
    ctx.nbEventZoom = n;
    LoadContext::Evenement &event = evenement(ctx, name);
    // The colour depends on the count only within 0 .. niveauZoom, so one brush per count
    // there serves every block.
    const std::size_t index =
        ctx.niveauZoom <= 0 ? 0 : static_cast<std::size_t>(std::clamp(n, 0, ctx.niveauZoom));
    if (event.brushesZoom.size() <= index)
        event.brushesZoom.resize(index + 1);
    std::optional<QBrush> &brush = event.brushesZoom[index];
    if (!brush)
        brush = QBrush(calculerCouleur(event.brush.color(), ctx.couleurTrace, n, ctx.niveauZoom),
                       event.brush.style());
    ctx.couleurZoom = brush->color();
    if (!ctx.blocZoomAttendu)
        return;
    ctx.blocZoomAttendu = false;
    ctx.graphicBlockCourant = std::make_unique<GraphicBlock>(name, *brush);
    GraphicBlock &block = *ctx.graphicBlockCourant;
    block.setPositionTraceCycle(ctx.positionXTraceCycle, ctx.positionYTraceCycle);
    block.setSizeTraceCycle(ctx.largeurBlockTraceCycle, ctx.hauteurBlockTraceCycle);
    block.setNbEvent(n);
}

void System::addElementZoom(LoadContext &ctx)
{
    const Publication publication(ctx);
    if (!ctx.graphicBlockCourant)
        return;
    ctx.lot.push_back(ctx.graphicBlockCourant.get());
    ctx.graphicBlockCourant.release(); // the batch owns it now
}

// Hands the batch of the cycle just read to the store, with one lock of the store and one
// of the pc rows. Runs on the parser's thread between cycles, and on the GUI thread once the
// read has ended (for the last cycle).
void System::ajouterLot(LoadContext &ctx)
{
    if (ctx.lot.empty() && !ctx.cleEnAttente)
        return;
    Q_ASSERT(ctx.cleEnAttente || ctx.lot.size() == ctx.lotPc.size());
    std::lock_guard<std::recursive_mutex> storeLock(graphicTrace->mutex());
    if (ctx.cleEnAttente)
        graphicTrace->addElements(ctx.cleLot, ctx.lot);
    if (!ctx.lotPc.empty()) {
        std::lock_guard<std::mutex> rows(pcRowsMutex);
        for (const auto &[pc, block] : ctx.lotPc) {
            // A pc whose listing is not loaded stays out of sight until it is: giving it a
            // row here would pin it to row 0 for good.
            const auto row = tabPositionPc.find(pc);
            if (row != tabPositionPc.end())
                block->setPositionYTracePc(row->second);
            graphicTrace->addElementTabPc(pc, *block);
        }
    }
    // The store owns them now.
    ctx.lot.clear();
    ctx.lotPc.clear();
    ctx.cleEnAttente = false;
}

// A file that cannot be opened is reported by its reason, then by a bare "erreur" that
// adds nothing: one box is enough.
void System::errorInTraceParse(LoadContext *ctx, const QString &message)
{
    std::lock_guard<std::mutex> lock(ctx->mutex);
    if (message == QLatin1String("erreur") && ctx->erreurSignalee)
        return;
    ctx->erreurSignalee = true;
    alerte(message);
}

QColor System::calculerCouleur(const QColor &couleurEvent, const QColor &couleurTrace, int nbEvent,
                               int niveauZoom)
{
    return ZoomLevels::calculerCouleur(couleurEvent, couleurTrace, nbEvent, niveauZoom);
}

// ---------------------------------------------------------------------------------------------
// Navigation (GUI thread)

void System::nextCycleTraceCycle(int c)
{
    cycleCourantTraceCycle = c;
    positionSliderHorizontalTraceCycle = c;
    suivreCycleCourant();
}

void System::prevCycleTraceCycle(int c)
{
    cycleCourantTraceCycle = c;
    positionSliderHorizontalTraceCycle = c;
    suivreCycleCourant();
}

// Arrows and pages move the cycle view by any number of cycles. A step into a neighbouring
// file slides the window by one file; a jump further would slide it by one file too and leave
// the view on cycles nobody reads, so the window is read again around the new cycle. A step
// taken while a neighbour is being read is caught up once that read has ended.
void System::suivreCycleCourant()
{
    if (ferme || etapeChargement < 3)
        return;
    const int nb = parametres.nbCycleParTrace;
    const int c = cycleCourantTraceCycle;
    const int n = Parametres::numeroFichier(c, nb);
    if (c >= numTraceCourante && c < numTraceSuivante)
        return;
    if (n != numTraceCourante + nb && n != numTraceCourante - nb && c >= 0) {
        const QString name =
            niveauZoom != 1 ? parametres.zoomFilename(niveauZoom, n) : parametres.traceFilename(n);
        if (QFile::exists(name)) {
            changeNiveauZoom();
            return;
        }
    }
    if (c >= numTraceSuivante) {
        if (!neighbourBusy(true))
            parserNextFileTrace();
    } else if (c <= numTraceCourante - 1) {
        if (!neighbourBusy(false))
            parserPrevFileTrace();
    }
}

// Until a pc is chosen the PC view has no window of its own to slide.
void System::nextCycleTracePc(int c)
{
    if (niveauZoom != 1)
        return;
    cycleCourantTracePc = c;
    suivreCycleCourantPc();
}

void System::prevCycleTracePc(int c)
{
    if (niveauZoom != 1)
        return;
    cycleCourantTracePc = c;
    suivreCycleCourantPc();
}

// The PC view's window slides one file at a time towards the view's cycle, so that every file
// it leaves is dropped: a page may jump further than the next file, and a step taken while a
// neighbour is read waits for that read to end (this runs again then).
void System::suivreCycleCourantPc()
{
    if (ferme || niveauZoom != 1 || !tracePcSeparee)
        return;
    const int nb = parametres.nbCycleParTrace;
    for (;;) {
        const int avant = numTracePcCourante;
        const int c = cycleCourantTracePc;
        if (c >= numTracePcCourante + nb) {
            if (neighbourPcBusy(true) ||
                !QFile::exists(parametres.traceFilename(numTracePcCourante + nb)))
                return;
            parserNextFileTracePc();
        } else if (c <= numTracePcCourante - 1) {
            if (neighbourPcBusy(false) ||
                !QFile::exists(parametres.traceFilename(numTracePcCourante - nb)))
                return;
            parserPrevFileTracePc();
        } else {
            return;
        }
        if (numTracePcCourante == avant)
            return;
    }
}

void System::sliderHorizontalMovedTraceCycle(int v)
{
    const int p = positionSliderHorizontalTraceCycle;
    if (v < p) {
        if (v < cycleMinTraceCycle) {
            mainFrame->repaintHorizontalSliderMovedTraceCycle(p, true);
            return;
        }
        if (v % niveauZoom != 0)
            return;
        positionSliderHorizontalTraceCycle = v;
        cycleCourantTraceCycle = v;
        if (v <= numTraceCourante - 1) {
            if (neighbourBusy(false))
                mainFrame->repaintHorizontalSliderMovedTraceCycle(v, true);
            else
                parserPrevFileTrace();
        }
    } else {
        if (v > cycleMaxTraceCycle.load()) {
            mainFrame->repaintHorizontalSliderMovedTraceCycle(p, true);
            return;
        }
        if (v % niveauZoom != 0)
            return;
        positionSliderHorizontalTraceCycle = v;
        cycleCourantTraceCycle = v;
        if (v >= numTraceSuivante) {
            if (neighbourBusy(true))
                mainFrame->repaintHorizontalSliderMovedTraceCycle(v, true);
            else
                parserNextFileTrace();
        }
    }
    mainFrame->repaintHorizontalSliderMovedTraceCycle(v, false);
}

void System::sliderVerticalMovedTraceCycle(int v)
{
    positionSliderVerticalTraceCycle = v;
    mainFrame->repaintVerticalSliderMovedTraceCycle(v);
}

void System::sliderHorizontalReleasedTraceCycle(int v)
{
    if (cycleMinTraceCycle <= v && v <= cycleMaxTraceCycle.load() && !neighbourBusy(true) &&
        !neighbourBusy(false))
        return;
    mainFrame->repaintHorizontalSliderMovedTraceCycle(positionSliderHorizontalTraceCycle, true);
}

void System::sliderHorizontalMovedTracePc(int v)
{
    if (niveauZoom != 1)
        return;
    const int p = positionSliderHorizontalTracePc;
    const int nb = parametres.nbCycleParTrace;
    if (v < p) {
        if (v < cycleMinTracePc) {
            mainFrame->repaintHorizontalSliderMovedTracePc(p, true);
            return;
        }
        positionSliderHorizontalTracePc = v;
        cycleCourantTracePc = v;
        if (tracePcSeparee && v <= numTracePcCourante - 1) {
            if (neighbourPcBusy(false))
                mainFrame->repaintHorizontalSliderMovedTracePc(v, true);
            else
                parserPrevFileTracePc();
        }
    } else {
        if (v > cycleMaxTracePc.load()) {
            mainFrame->repaintHorizontalSliderMovedTracePc(p, true);
            return;
        }
        positionSliderHorizontalTracePc = v;
        cycleCourantTracePc = v;
        if (tracePcSeparee && v >= numTracePcCourante + nb) {
            if (neighbourPcBusy(true))
                mainFrame->repaintHorizontalSliderMovedTracePc(v, true);
            else
                parserNextFileTracePc();
        }
    }
    mainFrame->repaintHorizontalSliderMovedTracePc(v, false);
}

void System::sliderVerticalMovedTracePc(int v)
{
    if (niveauZoom != 1)
        return;
    positionSliderVerticalTracePc = v;
    mainFrame->repaintVerticalSliderMovedTracePc(v);
}

void System::sliderHorizontalReleasedTracePc(int v)
{
    if (cycleMinTracePc <= v && v <= cycleMaxTracePc.load() && !neighbourPcBusy(true) &&
        !neighbourPcBusy(false))
        return;
    mainFrame->repaintHorizontalSliderMovedTracePc(positionSliderHorizontalTracePc, true);
}

// ---------------------------------------------------------------------------------------------
// Zoom levels (GUI thread)

void System::initInfosZoom()
{
    infosZoom = ZoomLevels::build(largeurTraceCycle, hauteurTraceCycle);
    niveauZoomMin = infosZoom.begin()->first;
    niveauZoomMax = infosZoom.rbegin()->first;
}

void System::initInfosTracePc()
{
    const int h = mainFrame->getRowHeightTableAsm();
    largeurBlockTracePc = h;
    hauteurBlockTracePc = h;
    initPositionTracePc(-h, -h);
    mainFrame->setLargeurBlockTracePc(h);
    mainFrame->setHauteurBlockTracePc(h);
    // A table without rows yet has no height: nothing to divide by.
    mainFrame->setNbBlockHorizontalToPaintTracePc(h > 0 ? largeurTracePc / h + 1 : 0);
    mainFrame->setNbBlockVerticalToPaintTracePc(h > 0 ? hauteurTracePc / h + 1 : 0);
    mainFrame->initScrollBarTracePc(h);
}

void System::initNiveauZoomTraceCycle(const int &level)
{
    niveauZoom = level;
    mainFrame->setNiveauZoom(niveauZoom);
    const InfosZoom &info = infosZoom[level];
    largeurBlockTraceCycle = info.getLargeurBlock();
    hauteurBlockTraceCycle = info.getHauteurBlock();
    mainFrame->setLargeurBlockTraceCycle(info.getLargeurBlock());
    mainFrame->setHauteurBlockTraceCycle(info.getHauteurBlock());
    mainFrame->setNbBlockHorizontalToPaintTraceCycle(info.getNbBlockHorizontalToPaint());
    mainFrame->setNbBlockVerticalToPaintTraceCycle(info.getNbBlockVerticalToPaint());
    mainFrame->initScrollBarTraceCycle();
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
    auto it = infosZoom.lower_bound(niveauZoom);
    const int level = it == infosZoom.begin() ? niveauZoomMin : std::prev(it)->first;
    cycleCourantTraceCycle = (cycleCourantTraceCycle / level) * level;
    positionSliderHorizontalTraceCycle = cycleCourantTraceCycle;
    mainFrame->setTraceCycleHorizontalScrollBar(cycleCourantTraceCycle);
    initNiveauZoomTraceCycle(level);
    changeNiveauZoom();
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
    const int level = it == infosZoom.end() ? niveauZoomMax : it->first;
    cycleCourantTraceCycle = (cycleCourantTraceCycle / level) * level;
    positionSliderHorizontalTraceCycle = cycleCourantTraceCycle;
    mainFrame->setTraceCycleHorizontalScrollBar(cycleCourantTraceCycle);
    initNiveauZoomTraceCycle(level);
    changeNiveauZoom();
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

void System::changeNiveauZoom()
{
    premierAffichage = true;
    // The reads of the old level are stopped before their store is emptied.
    cancelAllLoads();
    {
        std::lock_guard<std::mutex> rows(pcRowsMutex);
        tabPositionPc.clear();
    }
    mainFrame->clearAsm();
    viderStore();
    tracePcSeparee = false;
    tracePcPrecedenteChargee = false;
    tracePcSuivanteChargee = false;
    numAsmCharge = -1;
    mainFrame->setNumFirstPcToPaintTracePc(-1);
    poster(new MainFrameRepaintTracePcEvent());
    etapeChargement = 0;
    tracePrecedenteChargee = false;
    traceSuivanteChargee = false;
    parserCurrentFileTrace();
}

// ---------------------------------------------------------------------------------------------
// Configuration (GUI thread)

void System::parserConfigFile()
{
    if (configFileToParse.isEmpty()) {
        errorInConfigParse(QStringLiteral("Config file to parse undefined"));
        return;
    }
    const QString refus = refusFichier(configFileToParse);
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

// The cycle where the pc was picked is not needed: the PC view shows the cycle view's current
// cycle (selectionnerPcTableAsm below) within the cycle view's window.
void System::parserCurrentFileAsm(int pc, int /*cycle*/)
{
    // Blocks without an instruction (and zoom blocks) have pc -1: no listing holds it.
    if (ferme || pc < 0)
        return;
    // The PC view takes the cycle view's window below: what only its old window held goes,
    // or it would stay in the PC table unseen and come back twice when read again.
    if (tracePcSeparee) {
        for (int numero : {numTracePcPrecedente, numTracePcCourante, numTracePcSuivante}) {
            if (numero != numTracePrecedente && numero != numTraceCourante &&
                numero != numTraceSuivante)
                dropPcFile(numero);
        }
    }
    tracePcSeparee = true;
    numAsmCourant = Parametres::numeroFichier(pc, parametres.nbPcParAsm);
    // The PC view takes over the cycle view's window as it stands: those are the files whose
    // blocks the store's PC table holds, and the view shows the cycle view's current cycle.
    numTracePcCourante = numTraceCourante;
    numTracePcPrecedente = numTracePrecedente;
    numTracePcSuivante = numTraceSuivante;
    nameTracePcCourante = parametres.traceFilename(numTracePcCourante);
    nameTracePcPrecedente = parametres.traceFilename(numTracePcPrecedente);
    nameTracePcSuivante = parametres.traceFilename(numTracePcSuivante);
    cycleMinTracePc = cycleMinTraceCycle;
    cycleMaxTracePc = cycleMaxTraceCycle.load();
    tracePcPrecedenteChargee = tracePrecedenteChargee;
    tracePcSuivanteChargee = traceSuivanteChargee;
    cycleCourantTracePc = cycleCourantTraceCycle;
    positionSliderHorizontalTracePc = cycleCourantTraceCycle;

    if (numAsmCourant == numAsmCharge) {
        appliquerPositionsPc();
        const int r = graphicTrace->calculerEcartPc(numFirstPcAsm, pc);
        mainFrame->selectionnerPcTableAsm(r, cycleCourantTraceCycle);
        return;
    }
    numAsmCharge = numAsmCourant;
    createCurrentAsmFilename();
    numFirstPcAsm = numAsmCourant;
    parserAsmFile(pc);
}

void System::parserAsmFile(const int &pc)
{
    dernierPcAsm = pc;
    if (!QFile::exists(asmFilename)) {
        // Not loaded: the next request for a pc of this file tries again.
        numAsmCharge = -1;
        errorInAsmParse(fileMissing(asmFilename));
        return;
    }
    const QString refus = refusFichier(asmFilename);
    if (!refus.isEmpty()) {
        numAsmCharge = -1;
        errorInAsmParse(refus);
        return;
    }
    mainFrame->clearAsm();
    parserAsm->setInputFilename(asmFilename);
    rowAsm = -1;
    nbValuesCourant = 0;
    numValueAsm = 0;
    asmEchec = false;
    ++nbLecturesAsm;
    if (!parserAsm->parse() || asmEchec)
        numAsmCharge = -1;
    const int r = graphicTrace->calculerEcartPc(numFirstPcAsm, pc);
    mainFrame->selectionnerPcTableAsm(r, cycleCourantTraceCycle);
}

void System::pcAsm(const QString &text)
{
    ++rowAsm;
    numLastPcAsm = text.toInt();
    positionYTracePc += hauteurBlockTracePc;
    {
        std::lock_guard<std::mutex> rows(pcRowsMutex);
        tabPositionPc.emplace(numLastPcAsm, positionYTracePc);
    }
    poster(new TableAsmSetPcEvent(rowAsm, text));
}

void System::mnemonicAsm(const QString &text)
{
    poster(new TableAsmSetMnemonicEvent(rowAsm, text));
}

void System::nbValuesAsm(const QString &text)
{
    nbValuesCourant = text.toInt();
    numValueAsm = 0;
}

void System::valueAsm(const QString &text)
{
    poster(new TableAsmSetValueEvent(rowAsm, numValueAsm, text));
    ++numValueAsm;
}

// Moves the PC-table blocks of every listed pc to its row. Under the store's lock, so that
// a block a running read adds meanwhile already finds its row.
void System::appliquerPositionsPc()
{
    std::lock_guard<std::recursive_mutex> storeLock(graphicTrace->mutex());
    std::lock_guard<std::mutex> rows(pcRowsMutex);
    for (const auto &row : tabPositionPc)
        graphicTrace->updatePositionYTracePc(row.first, row.second);
}

void System::endOfAsmParse()
{
    positionYTracePc = -hauteurBlockTracePc;
    appliquerPositionsPc();
    mainFrame->setTabPositionPc(getTabPositionPc());
    mainFrame->setNumFirstPcToPaintTracePc(numFirstPcAsm);
    mainFrame->setNumLastPcToPaintTracePc(numLastPcAsm);
    poster(new MainFrameRepaintTracePcEvent());
    poster(new MainFrameAdjustAsm());
}

void System::errorInAsmParse(const QString &message)
{
    asmEchec = true;
    alerte(message);
}
