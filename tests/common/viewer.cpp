#include "viewer.h"

#include "controller/fichiers.h"
#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "core/threadAnnotations.h"
#include "gui/customEvents.h"
#include "gui/graphicBlockWidget.h"
#include "gui/mainFrame.h"
#include "gui/tableAsm.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"
#include "parsers/parserTrace.h"
#include "parsers/parserZoom.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

Viewer *courant = nullptr; // the viewer whose log is recorded
QtMessageHandler ancienLog = nullptr;

// The controller logs each file it starts reading as "reading <name>" (and "reading listing
// <name>") in its debug category.
void enregistrer(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (courant && context.category && qstrcmp(context.category, "zelvar.controller") == 0) {
        if (text.startsWith(QLatin1String("reading ")))
            courant->lus.append(
                text.mid(text.startsWith(QLatin1String("reading listing ")) ? 16 : 8));
        return;
    }
    ancienLog(type, context, text);
}

} // namespace

Viewer::Viewer(const TraceGeneratorOptions &generatorOptions, bool writeParametres)
    : options(generatorOptions)
{
    ancienHandler = MessageBox::setHandler(
        [this](MessageBox::Kind kind, const QString &title, const QString &text) {
            messages.append({kind, title, text});
        });
    courant = this;
    if (!ancienLog)
        ancienLog = qInstallMessageHandler(enregistrer);
    QLoggingCategory::setFilterRules(QStringLiteral("zelvar.controller.debug=true"));
    if (!dir.isValid()) {
        error = QStringLiteral("no temporary directory");
        return;
    }
    ancienDossier = QDir::currentPath();
    QDir::setCurrent(dir.path());
    if (options.rootDirectory.isEmpty()) {
        options.rootDirectory = dir.filePath(QStringLiteral("data"));
        TraceGenerator generator(options);
        if (!generator.generate()) {
            error = generator.errorString();
            return;
        }
        options = generator.options();
        summary = generator.summary();
    }
    if (writeParametres)
        parametres().save(dir.filePath(QStringLiteral("Parametres.txt")), &error);
}

Viewer::~Viewer()
{
    fermer();
    courant = nullptr;
    MessageBox::setHandler(ancienHandler);
    if (!ancienDossier.isEmpty())
        QDir::setCurrent(ancienDossier);
}

void Viewer::ouvrir(QSize taille)
{
    mainFrame = new MainFrame();
    mainFrame->installEventFilter(this);
    mainFrame->resize(taille);
    mainFrame->show();
    system = std::make_unique<System>(mainFrame);
    QCoreApplication::processEvents();
}

void Viewer::fermer()
{
    if (mainFrame) {
        mainFrame->close();
        delete mainFrame;
        mainFrame = nullptr;
    }
    system.reset();
}

bool Viewer::attendre(int timeoutMs)
{
    // The end of a read arrives as a queued call, which wakes the loop; the timer only bounds
    // the wait when nothing is pending.
    QTimer tick;
    tick.start(20);
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (!system->chargementEnCours()) {
            QCoreApplication::processEvents(); // what the last end posted
            // which may have moved a view (a search's answer) and started reads again
            if (!system->chargementEnCours())
                return true;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    error = QStringLiteral("reads still running after %1 ms").arg(timeoutMs);
    return false;
}

bool Viewer::executer(int zoomIns)
{
    if (!ok())
        return false;
    if (!mainFrame)
        ouvrir();
    emit mainFrame->demarrer();
    for (int i = 0; attendre(); ++i) {
        if (i == zoomIns)
            return true;
        emit mainFrame->nextZoom();
    }
    return false;
}

bool Viewer::zoomer(int niveauVoulu)
{
    for (int garde = 0; garde < 16 && niveau() != niveauVoulu; ++garde) {
        if (niveau() > niveauVoulu)
            emit mainFrame->nextZoom();
        else
            emit mainFrame->prevZoom();
        if (!attendre())
            return false;
    }
    return niveau() == niveauVoulu;
}

int Viewer::niveau() const
{
    return vueCycle()->getHorizontalScrollBar()->singleStep();
}

Parametres Viewer::parametres() const
{
    Parametres p;
    p.configFile = options.configFilePath();
    p.traceDirectory = QFileInfo(options.traceFilePath(0)).absolutePath();
    p.zoomDirectory = QFileInfo(options.zoomFilePath(10, 0)).absolutePath();
    p.asmDirectory = QFileInfo(options.asmFilePath(0)).absolutePath();
    p.tracePrefixe = options.tracePrefixe;
    p.zoomPrefixe = options.zoomPrefixe;
    p.asmPrefixe = options.asmPrefixe;
    p.nbCycleParTrace = options.nbCycleParTrace;
    p.nbPcParAsm = options.nbPcParAsm;
    p.nbCycleTotal = options.nbCycleTotal;
    return p;
}

TraceWidgetCycle *Viewer::vueCycle() const
{
    return mainFrame->findChild<TraceWidgetCycle *>(QStringLiteral("traceWidgetCycle"));
}

TraceWidgetPc *Viewer::vuePc() const
{
    return mainFrame->findChild<TraceWidgetPc *>(QStringLiteral("traceWidgetPc"));
}

TableAsm *Viewer::table() const
{
    return mainFrame->findChild<TableAsm *>(QStringLiteral("tableAsm"));
}

QImage Viewer::ecran(QWidget *widget) const
{
    QCoreApplication::processEvents(); // pending updates first
    const QPoint coin = widget->mapTo(widget->window(), QPoint(0, 0));
    QScreen *screen = widget->window()->windowHandle()->screen();
    return screen
        ->grabWindow(widget->window()->winId(), coin.x(), coin.y(), widget->width(),
                     widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage Viewer::rendu(QWidget *widget) const
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

std::map<int, int> Viewer::blocsParFichier(bool tabPc) const
{
    const int nb = options.nbCycleParTrace;
    std::map<int, int> fichiers;
    GraphicTrace &store = system->getGraphicTrace();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    for (const auto &entry : tabPc ? store.getTabPc() : store.getTabCycle()) {
        for (const GraphicElement *element : entry.second) {
            const int cycle = static_cast<const GraphicBlock *>(element)->getCycle();
            ++fichiers[Parametres::numeroFichier(cycle, nb)];
        }
    }
    return fichiers;
}

namespace {

// Counts what a read would store: the events of the file's own cycles, and those with an
// instruction.
class Compteur final : public ParserTrace::Recepteur, public ParserZoom::Recepteur
{
public:
    Compteur(int numero, int nb) : numero(numero), nb(nb) {}
    void addCycleTrace(int cycle) override { dedans = cycle >= numero && cycle < numero + nb; }
    void newEventTrace(const QString &) override { pc = false; }
    void pcTrace(int valeur) override { pc = valeur >= 0; }
    void addEventTrace() override
    {
        evenements += dedans;
        avecPc += dedans && pc;
    }
    void addCycleZoom(int cycle) override { addCycleTrace(cycle); }
    void newEventZoom(const QString &) override {}
    void setNbEventZoom(const QString &, int) override {}
    void addEventZoom() override { evenements += dedans; }

    int evenements = 0;
    int avecPc = 0;

private:
    const int numero;
    const int nb;
    bool dedans = false;
    bool pc = false;
};

} // namespace

std::pair<int, int> Viewer::attendus(const QString &filename, int numero) const
{
    // A file damaged or mended meanwhile is counted again.
    const QFileInfo info(filename);
    const QString cle = filename + QString::number(info.size()) +
                        QString::number(info.lastModified().toMSecsSinceEpoch());
    const auto connu = comptes.find(cle);
    if (connu != comptes.end())
        return connu->second;
    Compteur compteur(numero, options.nbCycleParTrace);
    if (!Fichiers::refus(filename).isEmpty()) // refused before any reading
        return comptes[cle] = {0, 0};
    if (filename.contains(QStringLiteral("/") + options.zoomPrefixe + QLatin1Char('_'))) {
        ParserZoom parser;
        parser.setRecepteur(&compteur);
        parser.setInputFilename(filename);
        parser.parse();
    } else {
        ParserTrace parser;
        parser.setRecepteur(&compteur);
        parser.setInputFilename(filename);
        parser.parse();
    }
    return comptes[cle] = {compteur.evenements, compteur.avecPc};
}

// A block cut by an edge of the drawing surface may lose or keep its corner pixel depending on
// how the paint was clipped (a window's region or a widget's rectangle): a band of two pixels
// along the surface's edges is left out.
bool Viewer::memeImage(TraceWidget *vue) const
{
    QImage avant = ecran(vue);
    QImage apres = rendu(vue);
    const QRect surface = vue->getGraphicBlockWidget()->geometry();
    const QRegion bande = QRegion(surface.adjusted(-2, -2, 2, 2)) - surface.adjusted(2, 2, -2, -2);
    for (QImage *image : {&avant, &apres}) {
        QPainter painter(image);
        for (const QRect &r : bande)
            painter.fillRect(r, Qt::black);
    }
    return avant == apres;
}

QString Viewer::invariants(bool auRepos) const
{
    const int level = niveau();
    for (const bool tabPc : {false, true}) {
        const FileWindow &fenetre =
            system->fenetre(tabPc ? ReadScheduler::Vue::Pc : ReadScheduler::Vue::Cycle);
        if (auRepos && !fenetre.complet() && !(tabPc && level != 1)) {
            return QStringLiteral("the %1 view's window waits for files nothing reads")
                .arg(tabPc ? "PC" : "cycle");
        }
        std::map<int, int> blocs = blocsParFichier(tabPc);
        for (const FileWindow::Fichier &f : fenetre.fichiers()) {
            if (f.etat == FileWindow::Etat::Manquant || (tabPc && level != 1))
                continue;
            const int trouves = blocs[f.numero];
            blocs.erase(f.numero);
            if (f.etat != FileWindow::Etat::Charge)
                continue;
            const QString nom = tabPc || level == 1 ? options.traceFilePath(f.numero)
                                                    : options.zoomFilePath(level, f.numero);
            const auto [evenements, avecPc] = attendus(nom, f.numero);
            if (trouves != (tabPc ? avecPc : evenements))
                return QString::asprintf("%s table: %d blocks of %s, which has %d",
                                         tabPc ? "PC" : "cycle", trouves, qPrintable(nom),
                                         tabPc ? avecPc : evenements);
        }
        // A file that left goes from the store once the frame that slid is painted.
        for (const auto &[numero, nombre] : blocs) {
            if (auRepos && nombre > 0)
                return QString::asprintf("%s table: %d blocks of file %d, outside the window",
                                         tabPc ? "PC" : "cycle", nombre, numero);
        }
    }
    for (TraceWidget *vue :
         {static_cast<TraceWidget *>(vueCycle()), static_cast<TraceWidget *>(vuePc())}) {
        if (vue->getPositionHorizontal() != vue->getHorizontalScrollBar()->value() ||
            vue->getPositionVertical() != vue->getVerticalScrollBar()->value())
            return vue->objectName() + QStringLiteral(" draws from elsewhere than its bars");
        if (auRepos && !memeImage(vue))
            return vue->objectName() + QStringLiteral(" shows a stale picture");
    }
    return QString();
}

QStringList Viewer::textes(MessageBox::Kind kind) const
{
    QStringList result;
    for (const Message &message : messages) {
        if (message.kind == kind)
            result.append(message.text);
    }
    return result;
}

bool Viewer::eventFilter(QObject *watched, QEvent *event)
{
    // Seen before the window's own handler, which marks a reader thread's event as received.
    ThreadAnnotations::handoffAcquire(event);
    for (int id : {TableAsmSetPcEvent::Id, TableAsmSetMnemonicEvent::Id, TableAsmSetValueEvent::Id,
                   MainFrameMessageInfoEvent::Id, MainFrameMessageAlertEvent::Id,
                   MainFrameRepaintTraceCycleEvent::Id, MainFrameRepaintTracePcEvent::Id,
                   MainFrameAdjustAsm::Id}) {
        if (GuiEvents::typeFromId(id) == event->type())
            evenements.append(id);
    }
    return QObject::eventFilter(watched, event);
}
