#include "controller/readScheduler.h"

#include "controller/assemblyListing.h"
#include "controller/fichiers.h"
#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/customEvents.h"
#include "parsers/parserTrace.h"
#include "parsers/parserZoom.h"

#include <QFile>
#include <QThread>

#include <algorithm>
#include <mutex>

// Takes a parser's reports to the builder of the read in progress, on the parser's thread, by
// plain calls.
class ReadScheduler::Relais final : public ParserTrace::Recepteur, public ParserZoom::Recepteur
{
public:
    explicit Relais(ParserSlot &slot) : slot(slot) {}

    void addCycleTrace(int cycle) override
    {
        builder().addCycleTrace(cycle);
        if (builder().arretVoulu())
            slot.parser->requestStop();
    }
    void newEventTrace(const QString &name) override { builder().newEventTrace(name); }
    void pcTrace(int pc) override { builder().pcTrace(pc); }
    void addEventTrace() override { builder().addEventTrace(); }
    void addCycleZoom(int cycle) override
    {
        builder().addCycleZoom(cycle);
        if (builder().arretVoulu())
            slot.parser->requestStop();
    }
    void newEventZoom(const QString &name) override { builder().newEventZoom(name); }
    void setNbEventZoom(const QString &name, int count) override
    {
        builder().setNbEventZoom(name, count);
    }
    void addEventZoom() override { builder().addEventZoom(); }

private:
    BlockBuilder &builder() { return *slot.courant.load(); }

    ParserSlot &slot;
};

ReadScheduler::ReadScheduler(GraphicTrace &store, PcRows &rows,
                             std::function<void(QEvent *)> poster)
    : store(store), rows(rows), poster(std::move(poster)),
      parserTraceCourante(std::make_unique<ParserTrace>()),
      parserTraceSuivante(std::make_unique<ParserTrace>()),
      parserTracePrecedente(std::make_unique<ParserTrace>()),
      parserTracePcSuivante(std::make_unique<ParserTrace>()),
      parserTracePcPrecedente(std::make_unique<ParserTrace>()),
      parserZoomCourant(std::make_unique<ParserZoom>()),
      parserZoomSuivant(std::make_unique<ParserZoom>()),
      parserZoomPrecedent(std::make_unique<ParserZoom>())
{
    const auto brancher = [this](auto *parser, Role role) {
        ParserSlot &slot = emplacements[role];
        slot.parser = parser;
        slot.relais = std::make_unique<Relais>(slot);
        parser->setRecepteur(slot.relais.get());
        // Every text a parser reports is shown, on whichever thread it is reported.
        connect(
            parser, &Parser::errorInParse, this,
            [this](const QString &message) {
                this->poster(new MainFrameMessageAlertEvent(message));
            },
            Qt::DirectConnection);
        connect(
            parser, &QThread::finished, this, [this, &slot] { parserFinished(&slot); },
            Qt::QueuedConnection);
    };
    brancher(parserTraceCourante.get(), TraceCourante);
    brancher(parserTracePrecedente.get(), TracePrecedente);
    brancher(parserTraceSuivante.get(), TraceSuivante);
    brancher(parserZoomCourant.get(), ZoomCourant);
    brancher(parserZoomPrecedent.get(), ZoomPrecedent);
    brancher(parserZoomSuivant.get(), ZoomSuivant);
    brancher(parserTracePcPrecedente.get(), TracePcPrecedente);
    brancher(parserTracePcSuivante.get(), TracePcSuivante);
}

ReadScheduler::~ReadScheduler()
{
    fermer();
    // The parsers go before the relays and the builders their threads used.
    for (ParserSlot &slot : emplacements)
        slot.parser = nullptr;
    parserTraceCourante.reset();
    parserTraceSuivante.reset();
    parserTracePrecedente.reset();
    parserTracePcSuivante.reset();
    parserTracePcPrecedente.reset();
    parserZoomCourant.reset();
    parserZoomSuivant.reset();
    parserZoomPrecedent.reset();
}

void ReadScheduler::setReglages(const BlockBuilder::Reglages &r)
{
    reglages = r;
}

QString ReadScheduler::nom(Vue vue, int numero) const
{
    if (vue == Vue::Cycle && reglages.niveauZoom != 1)
        return noms.zoomFilename(reglages.niveauZoom, numero);
    return noms.traceFilename(numero);
}

// The current file's parser, the previous one's, and the next one's for every file after.
ReadScheduler::Role ReadScheduler::role(Vue vue, int place) const
{
    if (vue == Vue::Pc)
        return place == FileWindow::Precedent ? TracePcPrecedente : TracePcSuivante;
    const Role premier = reglages.niveauZoom != 1 ? ZoomCourant : TraceCourante;
    return Role(premier + std::min(place, int(FileWindow::Suivant)));
}

std::vector<std::pair<ReadScheduler::ParserSlot *, ReadScheduler::Lecture *>>
ReadScheduler::lectures()
{
    std::vector<std::pair<ParserSlot *, Lecture *>> toutes;
    for (ParserSlot &slot : emplacements) {
        if (slot.busy && slot.lecture && !slot.lecture->annulee)
            toutes.emplace_back(&slot, slot.lecture.get());
        if (slot.pending)
            toutes.emplace_back(&slot, slot.pending.get());
    }
    return toutes;
}

void ReadScheduler::vider(int nbCycleParTrace)
{
    // The store is emptied as a whole by the caller: no file of the old windows is left.
    depots.clear();
    toutArreter();
    fenetreCycle.vider(nbCycleParTrace);
    fenetrePc.vider(nbCycleParTrace);
}

void ReadScheduler::toutArreter()
{
    for (ParserSlot &slot : emplacements) {
        slot.pending.reset();
        if (slot.busy && !slot.lecture->annulee)
            annuler(*slot.lecture, slot);
    }
}

// No report of the read comes once requestStop() has returned, so it must not be called
// while holding the store's lock, which the reports take.
void ReadScheduler::annuler(Lecture &lecture, ParserSlot &slot)
{
    lecture.annulee = true;
    if (slot.pending.get() == &lecture)
        slot.pending.reset();
    else if (slot.lecture.get() == &lecture && slot.busy)
        slot.parser->requestStop();
}

bool ReadScheduler::placer(Vue vue, int cycle, int visibles)
{
    if (estFerme)
        return false;
    FileWindow &fenetre = this->fenetre(vue);
    const auto existe = [this, vue](int numero) { return QFile::exists(nom(vue, numero)); };
    const std::vector<FileWindow::Fichier> sortants = fenetre.placer(cycle, visibles, existe);
    for (const FileWindow::Fichier &fichier : sortants)
        lacher(vue, fichier);
    return !sortants.empty();
}

// A file left the view's window: its blocks leave the view's table, and a read of it goes on
// only for the other table, if that one still wants it.
void ReadScheduler::lacher(Vue vue, const FileWindow::Fichier &fichier)
{
    const int n = fichier.numero;
    const int nb = fenetre(vue).nbCycleParFichier();
    const BlockBuilder::Cible cible =
        vue == Vue::Cycle ? BlockBuilder::CibleCycle : BlockBuilder::CiblePc;
    std::vector<std::pair<ParserSlot *, Lecture *>> sansCible;
    {
        std::lock_guard<std::recursive_mutex> lock(store.mutex());
        for (auto [slot, lecture] : lectures()) {
            BlockBuilder &builder = *lecture->builder;
            if (builder.numero() != n || !(builder.cibles() & cible))
                continue;
            builder.retirerCible(cible);
            if (builder.cibles() == 0)
                sansCible.emplace_back(slot, lecture);
        }
    }
    for (auto [slot, lecture] : sansCible)
        annuler(*lecture, *slot);
    if (depots.empty())
        QMetaObject::invokeMethod(this, &ReadScheduler::viderDepots, Qt::QueuedConnection);
    depots.push_back({vue, n, nb});
}

void ReadScheduler::deposer(const Depot &depot)
{
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    const int n = depot.numero;
    if (depot.vue == Vue::Cycle)
        store.deleteElementsTabCycle(n, n + depot.nb);
    else
        store.deleteElementsTabPc(n, n + depot.nb - 1, n + depot.nb, n + depot.nb);
}

void ReadScheduler::viderDepots()
{
    if (depots.empty())
        return;
    bool cycle = false;
    bool pc = false;
    for (const Depot &depot : depots) {
        deposer(depot);
        (depot.vue == Vue::Cycle ? cycle : pc) = true;
    }
    depots.clear();
    emit fichiersLaches(cycle, pc);
}

void ReadScheduler::viderDepot(Vue vue, int numero)
{
    for (auto it = depots.begin(); it != depots.end();) {
        if (it->vue == vue && it->numero == numero) {
            deposer(*it);
            it = depots.erase(it);
        } else {
            ++it;
        }
    }
}

// A file the PC view wants that the cycle table holds, read at level 1, is in the store
// already: its blocks with an instruction join the PC table.
bool ReadScheduler::adopter(int numero)
{
    if (reglages.niveauZoom != 1)
        return false;
    const std::optional<int> place = fenetreCycle.placeDe(numero);
    if (!place || fenetreCycle.at(*place).etat != FileWindow::Etat::Charge)
        return false;
    const int nb = fenetrePc.nbCycleParFichier();
    viderDepot(Vue::Pc, numero);
    {
        std::lock_guard<std::recursive_mutex> lock(store.mutex());
        std::lock_guard<std::mutex> rowsLock(rows.mutex());
        const GraphicTrace::TabCycle &tab = store.getTabCycle();
        for (auto it = tab.lower_bound(numero); it != tab.end() && it->first < numero + nb; ++it) {
            for (GraphicElement *element : it->second) {
                auto *block = static_cast<GraphicBlock *>(element);
                if (!block || block->getPc() < 0)
                    continue;
                const std::optional<int> y = rows.ligne(block->getPc());
                block->setPositionYTracePc(y ? *y : -block->getHauteurBlockTracePc());
                store.addElementTabPc(block->getPc(), *block);
            }
        }
    }
    fenetrePc.debutLecture(numero);
    fenetrePc.finLecture(numero, fenetreCycle.at(*place).dernierCycle);
    Fin fin;
    fin.numero = numero;
    fin.pc = true;
    emit lectureTerminee(fin);
    return true;
}

void ReadScheduler::suivre()
{
    if (estFerme)
        return;
    if (const std::optional<int> n = fenetreCycle.aLire())
        lancer(Vue::Cycle, *n);
    while (const std::optional<int> n = fenetrePc.aLire()) {
        if (adopter(*n))
            continue;
        // The cycle view reads it: it is taken from the cycle table once read.
        if (reglages.niveauZoom == 1 && fenetreCycle.contient(*n))
            break;
        lancer(Vue::Pc, *n);
        break;
    }
}

void ReadScheduler::lancer(Vue vue, int numero)
{
    FileWindow &fenetre = this->fenetre(vue);
    const int place = *fenetre.placeDe(numero);
    int cibles = vue == Vue::Cycle ? BlockBuilder::CibleCycle : BlockBuilder::CiblePc;
    viderDepot(vue, numero);
    if (vue == Vue::Cycle && reglages.niveauZoom == 1) {
        const std::optional<int> pc = fenetrePc.placeDe(numero);
        if (pc && fenetrePc.at(*pc).etat == FileWindow::Etat::Voulu) {
            cibles |= BlockBuilder::CiblePc;
            fenetrePc.debutLecture(numero);
            viderDepot(Vue::Pc, numero);
        }
    }
    fenetre.debutLecture(numero);
    auto lecture = std::make_shared<Lecture>();
    const auto alerte = [this](const QString &message) {
        poster(new MainFrameMessageAlertEvent(message));
    };
    lecture->builder = std::make_unique<BlockBuilder>(numero, nom(vue, numero), reglages, store,
                                                      rows, alerte, cibles);
    ParserSlot &slot = emplacements[role(vue, place)];
    // A window reads one file at a time, and each place of it has a parser of its own.
    Q_ASSERT(!slot.pending);
    if (slot.busy) {
        // The parser is still being stopped: this read starts once it is done.
        slot.pending = std::move(lecture);
        return;
    }
    commencer(slot, std::move(lecture));
}

void ReadScheduler::commencer(ParserSlot &slot, std::shared_ptr<Lecture> lecture)
{
    Q_ASSERT(QThread::currentThread() == thread());
    const QString filename = lecture->builder->filename();
    qCDebug(lcController, "reading %s", qUtf8Printable(filename));
    slot.lecture = std::move(lecture);
    slot.courant.store(slot.lecture->builder.get());
    slot.busy = true;
    const QString refus = BudgetMemoire::refus(filename, reglages.budgetOctets);
    if (!refus.isEmpty()) {
        // Like a file that cannot be opened: one message, then the end as usual.
        poster(new MainFrameMessageAlertEvent(refus));
        ParserSlot *const s = &slot;
        QMetaObject::invokeMethod(
            this, [this, s] { parserFinished(s); }, Qt::QueuedConnection);
        return;
    }
    slot.parser->setInputFilename(filename);
    slot.parser->start();
}

void ReadScheduler::parserFinished(ParserSlot *slot)
{
    if (!slot->parser || !slot->busy)
        return;
    // finished() is emitted just before the thread ends; what is left of it is Qt's own.
    slot->parser->wait();
    std::shared_ptr<Lecture> lecture = std::move(slot->lecture);
    slot->busy = false;
    BlockBuilder &builder = *lecture->builder;
    if (lecture->annulee || estFerme) {
        builder.abandonner();
    } else {
        builder.terminer();
        Fin fin;
        fin.numero = builder.numero();
        fin.cycle = (builder.cibles() & BlockBuilder::CibleCycle) != 0;
        fin.pc = (builder.cibles() & BlockBuilder::CiblePc) != 0;
        if (fin.cycle)
            fenetreCycle.finLecture(fin.numero, builder.dernierCycle());
        if (fin.pc)
            fenetrePc.finLecture(fin.numero, builder.dernierCycle());
        emit lectureTerminee(fin);
    }
    if (estFerme)
        return;
    if (slot->pending) {
        std::shared_ptr<Lecture> suivante = std::move(slot->pending);
        commencer(*slot, std::move(suivante));
    }
    suivre();
}

void ReadScheduler::actualiser()
{
    for (auto [slot, lecture] : lectures()) {
        const BlockBuilder &builder = *lecture->builder;
        if (builder.cibles() & BlockBuilder::CibleCycle)
            fenetreCycle.progression(builder.numero(), builder.dernierCycle());
        if (builder.cibles() & BlockBuilder::CiblePc)
            fenetrePc.progression(builder.numero(), builder.dernierCycle());
    }
}

std::vector<ReadScheduler::Avancement> ReadScheduler::avancements() const
{
    std::vector<Avancement> tous;
    for (const ParserSlot &slot : emplacements) {
        if (!slot.busy || !slot.lecture || slot.lecture->annulee)
            continue;
        const BlockBuilder &builder = *slot.lecture->builder;
        Avancement a;
        a.nom = builder.filename();
        a.numero = builder.numero();
        a.dernierCycle = builder.dernierCycle();
        a.cycle = (builder.cibles() & BlockBuilder::CibleCycle) != 0;
        a.pc = (builder.cibles() & BlockBuilder::CiblePc) != 0;
        tous.push_back(a);
    }
    const int courant = fenetreCycle.at(FileWindow::Courant).numero;
    std::stable_partition(tous.begin(), tous.end(), [courant](const Avancement &a) {
        return a.cycle && a.numero == courant;
    });
    return tous;
}

bool ReadScheduler::enCours() const
{
    if (!depots.empty())
        return true;
    for (const ParserSlot &slot : emplacements) {
        if (slot.busy || slot.pending)
            return true;
    }
    return false;
}

void ReadScheduler::fermer()
{
    if (!estFerme)
        qCDebug(lcController) << "stopping every parser thread";
    estFerme = true;
    depots.clear();
    toutArreter();
    for (ParserSlot &slot : emplacements) {
        if (slot.parser)
            slot.parser->wait();
        if (slot.lecture)
            slot.lecture->builder->abandonner();
        slot.busy = false;
    }
}
