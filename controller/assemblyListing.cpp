#include "controller/assemblyListing.h"

#include "controller/fichiers.h"
#include "core/graphicTrace.h"
#include "core/threadAnnotations.h"
#include "gui/customEvents.h"
#include "gui/mainFrame.h"
#include "parsers/parserAsm.h"

#include <QCoreApplication>
#include <QFile>

std::map<int, int> PcRows::copie() const
{
    std::lock_guard<std::mutex> lock(verrou);
    return rows;
}

void PcRows::ajouter(int pc, int y)
{
    std::lock_guard<std::mutex> lock(verrou);
    rows.emplace(pc, y);
}

void PcRows::vider()
{
    std::lock_guard<std::mutex> lock(verrou);
    rows.clear();
}

AssemblyListing::AssemblyListing(MainFrame *mainFrame, GraphicTrace &store)
    : mainFrame(mainFrame), store(store), parserAsm(std::make_unique<ParserAsm>())
{
    connect(parserAsm.get(), &ParserAsm::pc, this, &AssemblyListing::pcAsm);
    connect(parserAsm.get(), &ParserAsm::mnemonic, this, &AssemblyListing::mnemonicAsm);
    connect(parserAsm.get(), &ParserAsm::nbValues, this, &AssemblyListing::nbValuesAsm);
    connect(parserAsm.get(), &ParserAsm::value, this, &AssemblyListing::valueAsm);
    connect(parserAsm.get(), &Parser::endOfParse, this, &AssemblyListing::endOfAsmParse);
    connect(parserAsm.get(), &Parser::errorInParse, this, &AssemblyListing::errorInAsmParse);
}

AssemblyListing::~AssemblyListing() = default;

void AssemblyListing::setHauteurBlockTracePc(int h)
{
    hauteurBlockTracePc = h;
    positionYTracePc = -h;
}

void AssemblyListing::poster(QEvent *event) const
{
    ThreadAnnotations::handoffRelease(event);
    QCoreApplication::postEvent(mainFrame, event);
}

void AssemblyListing::afficher(int pc, int numero, const QString &filename, int cycle)
{
    dernierPc = pc;
    if (numero == numAsmCharge)
        appliquerPositions();
    else if (!parserAsmFile(numero, filename))
        return;
    // The table's own row of the pc: counting the store's pcs instead would also count those
    // of the trace that the listing leaves out. A pc it does not list selects no row.
    const auto rangee = rangees.find(pc);
    mainFrame->selectionnerPcTableAsm(rangee == rangees.end() ? -1 : rangee->second, cycle);
}

bool AssemblyListing::parserAsmFile(int numero, const QString &filename)
{
    const QString refus =
        QFile::exists(filename) ? Fichiers::refus(filename) : Fichiers::manquant(filename);
    if (!refus.isEmpty()) {
        // Not shown: the next request for a pc of this file tries again.
        numAsmCharge = -1;
        errorInAsmParse(refus);
        return false;
    }
    mainFrame->clearAsm();
    rangees.clear();
    parserAsm->setInputFilename(filename);
    numFirstPcAsm = numero;
    rowAsm = -1;
    nbValuesCourant = 0;
    numValueAsm = 0;
    echec = false;
    qCDebug(lcController, "reading listing %s", qUtf8Printable(filename));
    const bool lu = parserAsm->parse();
    numAsmCharge = lu && !echec ? numFirstPcAsm : -1;
    return true;
}

void AssemblyListing::pcAsm(const QString &text)
{
    ++rowAsm;
    numLastPcAsm = text.toInt();
    positionYTracePc += hauteurBlockTracePc;
    pcRows.ajouter(numLastPcAsm, positionYTracePc);
    rangees.emplace(numLastPcAsm, rowAsm);
    poster(new TableAsmSetPcEvent(rowAsm, text));
}

void AssemblyListing::mnemonicAsm(const QString &text)
{
    poster(new TableAsmSetMnemonicEvent(rowAsm, text));
}

void AssemblyListing::nbValuesAsm(const QString &text)
{
    nbValuesCourant = text.toInt();
    numValueAsm = 0;
}

void AssemblyListing::valueAsm(const QString &text)
{
    poster(new TableAsmSetValueEvent(rowAsm, numValueAsm, text));
    ++numValueAsm;
}

// Under the store's lock, so that a block a running read adds meanwhile already finds its row.
void AssemblyListing::appliquerPositions()
{
    std::lock_guard<std::recursive_mutex> storeLock(store.mutex());
    std::lock_guard<std::mutex> rowsLock(pcRows.mutex());
    for (const auto &[pc, y] : pcRows.map())
        store.updatePositionYTracePc(pc, y);
}

void AssemblyListing::endOfAsmParse()
{
    positionYTracePc = -hauteurBlockTracePc;
    appliquerPositions();
    mainFrame->setTabPositionPc(pcRows.copie());
    mainFrame->setNumFirstPcToPaintTracePc(numFirstPcAsm);
    mainFrame->setNumLastPcToPaintTracePc(numLastPcAsm);
    poster(new MainFrameRepaintTracePcEvent());
    poster(new MainFrameAdjustAsm());
}

void AssemblyListing::errorInAsmParse(const QString &message)
{
    echec = true;
    poster(new MainFrameMessageAlertEvent(message));
}

void AssemblyListing::oublier(bool lignesAussi)
{
    numAsmCharge = -1;
    rangees.clear();
    positionYTracePc = -hauteurBlockTracePc;
    if (!lignesAussi)
        return;
    // Under the store's lock throughout, so that no block a read adds meanwhile takes an old row.
    std::lock_guard<std::recursive_mutex> storeLock(store.mutex());
    for (const auto &row : pcRows.copie())
        store.updatePositionYTracePc(row.first, -hauteurBlockTracePc);
    pcRows.vider();
}
