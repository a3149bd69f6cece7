#include "viewerHarness.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/mainFrame.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>

#include <set>

bool ViewerHarness::executer()
{
    emit mainFrame->demarrer();
    return attendre();
}

TraceWidgetCycle *ViewerHarness::vueCycle() const
{
    return mainFrame->findChild<TraceWidgetCycle *>(QStringLiteral("traceWidgetCycle"));
}

TraceWidgetPc *ViewerHarness::vuePc() const
{
    return mainFrame->findChild<TraceWidgetPc *>(QStringLiteral("traceWidgetPc"));
}

QSet<int> ViewerHarness::fichiersCycle() const
{
    const int nb = system->getParametres().nbCycleParTrace;
    GraphicTrace &store = system->getGraphicTrace();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    QSet<int> files;
    for (const auto &entry : store.getTabCycle()) {
        if (!entry.second.empty())
            files.insert(Parametres::numeroFichier(entry.first, nb));
    }
    return files;
}

namespace {

QString texte(const QSet<int> &set)
{
    QList<int> list = set.values();
    std::sort(list.begin(), list.end());
    QStringList parts;
    for (int n : list)
        parts.append(QString::number(n));
    return QLatin1Char('{') + parts.join(QLatin1Char(',')) + QLatin1Char('}');
}

} // namespace

QString ViewerHarness::invariants(bool auRepos) const
{
    const System &s = *system;
    const int nb = s.getParametres().nbCycleParTrace;
    const int niveau = s.getNiveauZoom();
    QSet<int> fenetre{s.getNumTraceCourante()};
    if (s.getTracePrecedenteChargee())
        fenetre.insert(s.getNumTracePrecedente());
    if (s.getTraceSuivanteChargee())
        fenetre.insert(s.getNumTraceSuivante());
    QSet<int> fenetrePc = fenetre;
    if (s.getTracePcSeparee()) {
        fenetrePc.insert(s.getNumTracePcCourante());
        if (s.getTracePcPrecedenteChargee())
            fenetrePc.insert(s.getNumTracePcPrecedente());
        if (s.getTracePcSuivanteChargee())
            fenetrePc.insert(s.getNumTracePcSuivante());
    }
    const int cycleMin = s.getCycleMinTraceCycle();
    const int cycleMax = s.getCycleMaxTraceCycle();

    GraphicTrace &store = s.getGraphicTrace();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    QSet<int> fichiers;
    int largeur = 0;
    for (const auto &entry : store.getTabCycle()) {
        for (const GraphicElement *element : entry.second) {
            const auto *block = static_cast<const GraphicBlock *>(element);
            const int numero = Parametres::numeroFichier(entry.first, nb);
            fichiers.insert(numero);
            if (!fenetre.contains(numero))
                return QStringLiteral("cycle %1 of file %2 outside the window %3")
                    .arg(entry.first)
                    .arg(numero)
                    .arg(texte(fenetre));
            if (niveau == 1 && block->getCycle() != entry.first)
                return QStringLiteral("block of cycle %1 filed under %2")
                    .arg(block->getCycle())
                    .arg(entry.first);
            if (entry.first % niveau != 0)
                return QStringLiteral("cycle %1 at zoom level %2").arg(entry.first).arg(niveau);
            if (largeur == 0)
                largeur = block->getLargeurBlockTraceCycle();
            if (block->getPositionXTraceCycle() != entry.first / niveau * largeur)
                return QStringLiteral("block of cycle %1 drawn at x %2")
                    .arg(entry.first)
                    .arg(block->getPositionXTraceCycle());
            if (auRepos && (entry.first < cycleMin || entry.first > cycleMax))
                return QStringLiteral("cycle %1 outside the bounds %2..%3")
                    .arg(entry.first)
                    .arg(cycleMin)
                    .arg(cycleMax);
        }
    }
    if (fichiers.size() > 3)
        return QStringLiteral("cycle table holds files %1").arg(texte(fichiers));

    QSet<int> fichiersPc;
    for (const auto &entry : store.getTabPc()) {
        for (const GraphicElement *element : entry.second) {
            const auto *block = static_cast<const GraphicBlock *>(element);
            if (niveau != 1)
                return QStringLiteral("PC table holds blocks at zoom level %1").arg(niveau);
            if (block->getPc() != entry.first)
                return QStringLiteral("block of pc %1 filed under pc %2")
                    .arg(block->getPc())
                    .arg(entry.first);
            const int numero = Parametres::numeroFichier(block->getCycle(), nb);
            fichiersPc.insert(numero);
            if (!fenetrePc.contains(numero))
                return QStringLiteral("PC table: cycle %1 outside the windows %2")
                    .arg(block->getCycle())
                    .arg(texte(fenetrePc));
        }
    }
    if (!s.getTracePcSeparee() && fichiersPc.size() > 3)
        return QStringLiteral("PC table holds files %1").arg(texte(fichiersPc));

    if (!auRepos)
        return QString();
    if (GraphicBlock::liveCount() != blocsStore())
        return QStringLiteral("%1 blocks alive, %2 in the store")
            .arg(GraphicBlock::liveCount())
            .arg(blocsStore());
    const int debut = *std::min_element(fenetre.begin(), fenetre.end());
    const int fin = *std::max_element(fenetre.begin(), fenetre.end()) + nb - 1;
    if (cycleMin != debut || cycleMax < cycleMin || cycleMax > fin)
        return QStringLiteral("bounds %1..%2 for the window %3")
            .arg(cycleMin)
            .arg(cycleMax)
            .arg(texte(fenetre));
    const int position = s.getPositionSliderHorizontalTraceCycle();
    if (position < cycleMin || position > cycleMax)
        return QStringLiteral("slider at %1 outside %2..%3")
            .arg(position)
            .arg(cycleMin)
            .arg(cycleMax);
    return QString();
}

QString ViewerHarness::etat() const
{
    const System &s = *system;
    const auto drapeau = [](bool b) { return b ? QStringLiteral("+") : QStringLiteral("-"); };
    return QStringLiteral("level %1 step %2 reading %3 | cycle view %4%5 %6 %7%8 bounds %9..%10 "
                          "at %11 | PC view %12 %13%14 %15 %16%17 bounds %18..%19")
        .arg(s.getNiveauZoom())
        .arg(s.getEtapeChargement())
        .arg(s.chargementEnCours())
        .arg(drapeau(s.getTracePrecedenteChargee()))
        .arg(s.getNumTracePrecedente())
        .arg(s.getNumTraceCourante())
        .arg(drapeau(s.getTraceSuivanteChargee()))
        .arg(s.getNumTraceSuivante())
        .arg(s.getCycleMinTraceCycle())
        .arg(s.getCycleMaxTraceCycle())
        .arg(s.getCycleCourantTraceCycle())
        .arg(s.getTracePcSeparee() ? QStringLiteral("own") : QStringLiteral("follows"))
        .arg(drapeau(s.getTracePcPrecedenteChargee()))
        .arg(s.getNumTracePcPrecedente())
        .arg(s.getNumTracePcCourante())
        .arg(drapeau(s.getTracePcSuivanteChargee()))
        .arg(s.getNumTracePcSuivante())
        .arg(s.getCycleMinTracePc())
        .arg(s.getCycleMaxTracePc());
}

QStringList ViewerHarness::alertes() const
{
    QStringList result;
    for (const Message &message : recus) {
        if (message.kind == MessageBox::Kind::Alert)
            result.append(message.text);
    }
    return result;
}

QStringList ViewerHarness::messages() const
{
    QStringList result;
    for (const Message &message : recus)
        result.append(message.text);
    return result;
}
