#include "controller/traceFinder.h"

#include "gui/mainFrame.h"
#include "parsers/parserAsm.h"
#include "parsers/parserTrace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <climits>
#include <vector>

struct TraceFinder::Recherche
{
    // Run on the search's thread; returns what is handed to livrer.
    std::function<int(const std::atomic<bool> &arret)> travail;
    // Run on the GUI thread with the answer, unless the search was stopped.
    std::function<void(MainFrame &mainFrame, int resultat)> livrer;
    std::atomic<bool> arret{false};
    int resultat = -1;
};

namespace {

// Watches a trace file's reports for the pc, stopping the parser as soon as the answer is
// known: at the first match after `depuis` going forward, at `depuis` going back (the last
// match before it being the answer).
class ChercheurPc final : public ParserTrace::Recepteur
{
public:
    ChercheurPc(ParserTrace &parser, int pc, int depuis, bool versLaFin, qint64 limite,
                const std::atomic<bool> &arret)
        : parser(parser), pc(pc), depuis(depuis), versLaFin(versLaFin), limite(limite), arret(arret)
    {}

    void addCycleTrace(int c) override
    {
        cycle = c;
        if (arret.load() || c >= limite || (!versLaFin && c >= depuis))
            parser.requestStop();
    }
    void newEventTrace(const QString &) override {}
    void pcTrace(int p) override
    {
        if (p != pc || cycle >= limite)
            return;
        if (!versLaFin && cycle < depuis) {
            trouve = cycle;
        } else if (versLaFin && cycle > depuis) {
            trouve = cycle;
            parser.requestStop();
        }
    }
    void addEventTrace() override {}

    int trouve = -1;

private:
    ParserTrace &parser;
    const int pc;
    const int depuis;
    const bool versLaFin;
    const qint64 limite;
    const std::atomic<bool> &arret;
    int cycle = 0;
};

} // namespace

TraceFinder::TraceFinder(MainFrame *mainFrame, const Parametres &parametres)
    : mainFrame(mainFrame), parametres(parametres)
{
    connect(mainFrame, &MainFrame::chercherCycle, this, &TraceFinder::chercherCycle);
    connect(mainFrame, &MainFrame::chercherMnemonique, this, &TraceFinder::chercherMnemonique);
    connect(mainFrame, &MainFrame::closeSignal, this, &TraceFinder::arreter);
    connect(mainFrame, &QObject::destroyed, this, &TraceFinder::arreter);
}

TraceFinder::~TraceFinder()
{
    arreter();
}

int TraceFinder::cycleDuPc(const Parametres &p, int pc, int depuis, bool versLaFin,
                           const std::atomic<bool> &arret)
{
    const int nb = p.nbCycleParTrace;
    const qint64 limite = p.nbCycleTotal > 0 ? p.nbCycleTotal : qint64(INT_MAX) + 1;
    if (nb <= 0 || (!versLaFin && depuis <= 0))
        return -1;
    ParserTrace parser;
    const auto lire = [&](qint64 numero) {
        ChercheurPc chercheur(parser, pc, depuis, versLaFin, limite, arret);
        parser.setRecepteur(&chercheur);
        parser.setInputFilename(p.traceFilename(int(numero)));
        parser.parse();
        parser.setRecepteur(nullptr);
        return chercheur.trouve;
    };
    if (versLaFin) {
        // The trace ends with its last file.
        for (qint64 n = Parametres::numeroFichier(std::max(depuis + 1, 0), nb);
             n < limite && !arret.load() && QFile::exists(p.traceFilename(int(n))); n += nb) {
            const int trouve = lire(n);
            if (trouve >= 0)
                return trouve;
        }
        return -1;
    }
    const int dernier = int(std::min<qint64>(depuis - 1, limite - 1));
    for (qint64 n = Parametres::numeroFichier(dernier, nb); n >= 0 && !arret.load(); n -= nb) {
        if (!QFile::exists(p.traceFilename(int(n))))
            continue;
        const int trouve = lire(n);
        if (trouve >= 0)
            return trouve;
    }
    return -1;
}

int TraceFinder::pcDuMnemonique(const Parametres &p, const QString &mnemonique, int apresPc,
                                const std::atomic<bool> &arret)
{
    // The listing files there are, by number: a program's pcs need not start at 0 nor be
    // one block.
    const QString prefixe = p.asmPrefixe + QLatin1Char('_');
    std::vector<int> numeros;
    const QStringList noms =
        QDir(p.asmDirectory).entryList({prefixe + QStringLiteral("*.xml")}, QDir::Files);
    for (const QString &nom : noms) {
        bool ok = false;
        const int numero = nom.mid(prefixe.size(), nom.size() - prefixe.size() - 4).toInt(&ok);
        if (ok && QFileInfo(p.asmFilename(numero)).fileName() == nom)
            numeros.push_back(numero);
    }
    if (numeros.empty() || p.nbPcParAsm <= 0)
        return -1;
    std::sort(numeros.begin(), numeros.end());
    const int depart =
        apresPc < 0 ? numeros.front() : Parametres::numeroFichier(apresPc, p.nbPcParAsm);
    const size_t k0 =
        size_t(std::lower_bound(numeros.begin(), numeros.end(), depart) - numeros.begin()) %
        numeros.size();

    ParserAsm parser;
    int pcCourant = -1;
    std::vector<int> trouves;
    connect(&parser, &ParserAsm::pc, [&](const QString &texte) {
        pcCourant = texte.toInt();
        if (arret.load())
            parser.requestStop();
    });
    connect(&parser, &ParserAsm::mnemonic, [&](const QString &texte) {
        if (texte.trimmed().compare(mnemonique, Qt::CaseInsensitive) == 0)
            trouves.push_back(pcCourant);
    });
    // The file of apresPc is read first for the pcs after it, and again at the end, round the
    // listings, for those up to it.
    for (size_t i = 0; i <= numeros.size() && !arret.load(); ++i) {
        trouves.clear();
        parser.setInputFilename(p.asmFilename(numeros[(k0 + i) % numeros.size()]));
        parser.parse();
        int meilleur = -1;
        for (int pc : trouves) {
            const bool admis = i == 0 ? pc > apresPc : i < numeros.size() || pc <= apresPc;
            if (admis && (meilleur < 0 || pc < meilleur))
                meilleur = pc;
        }
        if (meilleur >= 0)
            return meilleur;
    }
    return -1;
}

void TraceFinder::chercherCycle(int pc, int depuis, bool versLaFin)
{
    auto recherche = std::make_shared<Recherche>();
    const Parametres p = parametres;
    recherche->travail = [p, pc, depuis, versLaFin](const std::atomic<bool> &arret) {
        return cycleDuPc(p, pc, depuis, versLaFin, arret);
    };
    recherche->livrer = [pc](MainFrame &m, int cycle) { m.cycleTrouve(pc, cycle); };
    lancer(std::move(recherche));
}

void TraceFinder::chercherMnemonique(const QString &mnemonique, int apresPc)
{
    auto recherche = std::make_shared<Recherche>();
    const Parametres p = parametres;
    recherche->travail = [p, mnemonique, apresPc](const std::atomic<bool> &arret) {
        return pcDuMnemonique(p, mnemonique, apresPc, arret);
    };
    recherche->livrer = [mnemonique](MainFrame &m, int pc) {
        m.instructionTrouvee(mnemonique, pc);
    };
    lancer(std::move(recherche));
}

void TraceFinder::lancer(std::shared_ptr<Recherche> recherche)
{
    if (arrete)
        return;
    if (thread) {
        // Started once the running one has seen its stop.
        enCours->arret.store(true);
        suivante = std::move(recherche);
        return;
    }
    enCours = std::move(recherche);
    Recherche *r = enCours.get();
    thread = QThread::create([r] { r->resultat = r->travail(r->arret); });
    connect(thread, &QThread::finished, this, &TraceFinder::terminee, Qt::QueuedConnection);
    thread->start();
}

void TraceFinder::terminee()
{
    if (!thread)
        return;
    thread->wait();
    delete thread;
    thread = nullptr;
    const std::shared_ptr<Recherche> finie = std::move(enCours);
    if (!finie->arret.load() && mainFrame)
        finie->livrer(*mainFrame, finie->resultat);
    if (suivante)
        lancer(std::move(suivante));
}

void TraceFinder::arreter()
{
    arrete = true;
    suivante.reset();
    if (!thread)
        return;
    enCours->arret.store(true);
    thread->wait();
    delete thread;
    thread = nullptr;
    enCours.reset();
}
