#include "gui/navigation.h"

#include "dialogs/inputChooser.h"
#include "dialogs/messageBox.h"
#include "gui/mainFrame.h"
#include "gui/popupMenuRepainter.h"
#include "gui/statusInfo.h"
#include "gui/tableAsm.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"
#include "gui/viewAids.h"

#include <QAction>
#include <QMenuBar>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>

#include <algorithm>
#include <optional>

namespace {

const QString cleNoms = QStringLiteral("view/eventNames");

QSettings reglages()
{
    return QSettings(QStringLiteral("Zelvar"), QStringLiteral("Zelvar"));
}

// A pc as the listings write it, in decimal, or in hexadecimal after "0x".
std::optional<int> lirePc(const QString &texte)
{
    bool ok = false;
    int pc = texte.toInt(&ok, 10);
    if (!ok && texte.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        pc = texte.mid(2).toInt(&ok, 16);
    if (!ok || pc < 0)
        return std::nullopt;
    return pc;
}

} // namespace

Navigation::Navigation(MainFrame *mainFrame, TraceWidgetCycle *vueCycle, TraceWidgetPc *vuePc,
                       TableAsm *table, QAction *avant)
    : QObject(mainFrame), mainFrame(mainFrame), vueCycle(vueCycle), vuePc(vuePc), table(table),
      statusInfo(new StatusInfo(mainFrame->statusBar()))
{
    creerMenus(avant);

    connect(this, &Navigation::chercherCycle, mainFrame, &MainFrame::chercherCycle);
    connect(this, &Navigation::chercherMnemonique, mainFrame, &MainFrame::chercherMnemonique);
    for (TraceWidget *vue :
         {static_cast<TraceWidget *>(vueCycle), static_cast<TraceWidget *>(vuePc)}) {
        connect(vue, &TraceWidget::zoomDemande, this, &Navigation::zoomer);
        connect(vue, &TraceWidget::marqueurDemande, this, &Navigation::basculerMarqueur);
        vue->setDescripteurPc([this](int pc) { return instruction(pc); });
    }
    connect(vueCycle, &TraceWidgetCycle::cyclesAffiches, statusInfo, &StatusInfo::setCycles);
    // Queued: the column may change while the controller hands over the configuration; the
    // controller then measures the narrower surface, and the views are painted with it.
    connect(vueCycle, &TraceWidgetCycle::colonneNomsChangee, mainFrame, &MainFrame::sizeChanged,
            Qt::QueuedConnection);
    connect(vueCycle, &TraceWidgetCycle::colonneNomsChangee, mainFrame, &MainFrame::repaintAll,
            Qt::QueuedConnection);

    const bool noms = reglages().value(cleNoms, false).toBool();
    actionNoms->setChecked(noms);
    vueCycle->setColonneNoms(noms);
}

void Navigation::creerMenus(QAction *avant)
{
    auto ajouterMenu = [this, avant](const char *titre, const char *nom) {
        auto *menu = new PopupMenuRepainter(QString::fromLatin1(titre), mainFrame);
        menu->setObjectName(QString::fromLatin1(nom));
        connect(menu, &PopupMenuRepainter::popupMenuClosed, mainFrame, &MainFrame::repaintAll);
        mainFrame->menuBar()->insertMenu(avant, menu);
        return menu;
    };
    PopupMenuRepainter *vue = ajouterMenu("&View", "viewMenu");
    actionNoms = vue->addAction(QStringLiteral("&Event Names"));
    actionNoms->setCheckable(true);
    connect(actionNoms, &QAction::toggled, this, &Navigation::afficherNoms);

    PopupMenuRepainter *aller = ajouterMenu("&Go", "goMenu");
    aller->addAction(QStringLiteral("Go to &Cycle…"), QKeySequence(Qt::CTRL | Qt::Key_G), this,
                     &Navigation::allerAuCycle);
    aller->addAction(QStringLiteral("&Find Instruction…"), QKeySequence(Qt::CTRL | Qt::Key_F),
                     this, &Navigation::trouverInstruction);
    aller->addAction(QStringLiteral("Find &Next"), QKeySequence(Qt::Key_F3), this,
                     &Navigation::suivant);
    aller->addAction(QStringLiteral("Find &Previous"), QKeySequence(Qt::SHIFT | Qt::Key_F3), this,
                     &Navigation::precedent);
    aller->addSeparator();
    aller->addAction(QStringLiteral("Clear &Markers"), QKeySequence(Qt::Key_Escape), this,
                     &Navigation::effacerMarqueurs);
}

void Navigation::setNiveauZoom(int n)
{
    niveau = n;
    statusInfo->setNiveau(n);
}

void Navigation::setNiveauxZoom(const std::vector<int> &n)
{
    niveaux = n;
}

// At the ends the wheel does nothing: the buttons' message would come at every notch.
void Navigation::zoomer(bool plusFin)
{
    if (niveaux.empty() || niveau == (plusFin ? niveaux.front() : niveaux.back()))
        return;
    if (plusFin)
        emit mainFrame->nextZoom();
    else
        emit mainFrame->prevZoom();
}

void Navigation::allerAuCycle()
{
    const int dernier = std::max(0, vueCycle->getNbCycleTotal() - 1);
    const std::optional<QString> texte = InputChooser::ask(
        {mainFrame, QStringLiteral("Go to Cycle"), QStringLiteral("Cycle (0 to %1):").arg(dernier),
         QString::number(vueCycle->getPositionHorizontal()), QStringLiteral("goToCycle")});
    if (!texte)
        return;
    bool ok = false;
    const qint64 cycle = texte->trimmed().toLongLong(&ok);
    if (!ok || cycle < 0) {
        MessageBox::show(mainFrame, MessageBox::Kind::Information, QStringLiteral("information"),
                         QLatin1Char('"') + *texte + QStringLiteral("\" is not a cycle number"));
        return;
    }
    vueCycle->allerA(cycle);
}

void Navigation::trouverInstruction()
{
    const std::optional<QString> texte = InputChooser::ask(
        {mainFrame, QStringLiteral("Find Instruction"), QStringLiteral("Pc or mnemonic:"),
         QString(), QStringLiteral("findInstruction")});
    const QString cherche = texte ? texte->trimmed() : QString();
    if (cherche.isEmpty())
        return;
    if (const std::optional<int> pc = lirePc(cherche)) {
        // A pc needs no search: an earlier search's answer would now mislead.
        statusInfo->setRecherche(QString(), false);
        selectionnerPc(*pc);
        return;
    }
    statusInfo->setRecherche(QStringLiteral("Finding ") + cherche + QStringLiteral("..."), true);
    emit chercherMnemonique(cherche, pcSelectionne());
}

void Navigation::instructionTrouvee(const QString &mnemonique, int pc)
{
    if (pc < 0) {
        statusInfo->setRecherche(
            QStringLiteral("No ") + mnemonique + QStringLiteral(" in the listings"), false);
        return;
    }
    statusInfo->setRecherche(mnemonique + QStringLiteral(" at pc ") + QString::number(pc), false);
    selectionnerPc(pc);
}

void Navigation::selectionnerPc(int pc)
{
    const int rangee = rangeeDuPc(pc);
    if (rangee >= 0) {
        table->selectionnerPc(rangee, vuePc->getPositionHorizontal());
        table->displayPc(rangee, 0, Qt::LeftButton, QPoint());
        return;
    }
    // As a left press on one of its blocks, here where the cycle view stands.
    emit mainFrame->displayPcTracePc(pc, vueCycle->getPositionHorizontal());
    vueCycle->displayPcTraceCycle(pc);
}

// The pc of the table's highlighted row, or else the one outlined in the cycle view.
int Navigation::pcSelectionne() const
{
    const QList<QTableWidgetItem *> choisies = table->selectedItems();
    if (!choisies.isEmpty()) {
        bool ok = false;
        const int pc = table->cellText(choisies.first()->row(), 0).toInt(&ok);
        if (ok)
            return pc;
    }
    return vueCycle->getPcToDisplay();
}

int Navigation::rangeeDuPc(int pc) const
{
    for (int row = 0; row < table->rowCount(); ++row) {
        bool ok = false;
        if (table->cellText(row, 0).toInt(&ok) == pc && ok)
            return row;
    }
    return -1;
}

QString Navigation::instruction(int pc) const
{
    const int row = rangeeDuPc(pc);
    if (row < 0)
        return QString();
    QStringList operandes;
    for (int column = 2; column < TableAsm::nbColumns; ++column) {
        const QString operande = table->cellText(row, column);
        if (!operande.isEmpty())
            operandes << operande;
    }
    const QString mnemonic = table->cellText(row, 1);
    return operandes.isEmpty() ? mnemonic
                               : mnemonic + QLatin1Char(' ') + operandes.join(QStringLiteral(", "));
}

void Navigation::suivant()
{
    chercher(true);
}

void Navigation::precedent()
{
    chercher(false);
}

// From the cycle the last search found while the view stays there; otherwise from the first
// cycle shown, which counts as after it, not as before.
void Navigation::chercher(bool versLaFin)
{
    const int pc = pcSelectionne();
    if (pc < 0) {
        statusInfo->setRecherche(QStringLiteral("No instruction selected"), false);
        return;
    }
    const int position = vueCycle->getPositionHorizontal();
    int depuis = versLaFin ? position - 1 : position;
    if (trouve.pc == pc && trouve.position == position)
        depuis = trouve.cycle;
    demande = {pc, versLaFin};
    statusInfo->setRecherche(QStringLiteral("Finding pc %1...").arg(pc), true);
    emit chercherCycle(pc, depuis, versLaFin);
}

void Navigation::cycleTrouve(int pc, int cycle)
{
    if (pc != demande.pc)
        return;
    if (cycle < 0) {
        statusInfo->setRecherche(
            QStringLiteral("pc %1: no cycle %2")
                .arg(pc)
                .arg(demande.versLaFin ? QStringLiteral("after") : QStringLiteral("before")),
            false);
        return;
    }
    // Outlined, so that its blocks stand out where the view now is.
    vueCycle->displayPcTraceCycle(pc);
    vueCycle->allerA(cycle);
    trouve = {pc, cycle, vueCycle->getPositionHorizontal()};
    statusInfo->setRecherche(QStringLiteral("pc %1 at cycle %2").arg(pc).arg(cycle), false);
}

void Navigation::basculerMarqueur(int cycle)
{
    ViewAids::basculerMarqueur(marqueurs, cycle);
    vueCycle->setMarqueurs(marqueurs);
    vuePc->setMarqueurs(marqueurs);
    statusInfo->setMarqueurs(marqueurs);
}

void Navigation::effacerMarqueurs()
{
    marqueurs.clear();
    vueCycle->setMarqueurs(marqueurs);
    vuePc->setMarqueurs(marqueurs);
    statusInfo->setMarqueurs(marqueurs);
}

void Navigation::afficherNoms(bool affiches)
{
    vueCycle->setColonneNoms(affiches);
    reglages().setValue(cleNoms, affiches);
}
