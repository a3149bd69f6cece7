#include "controller/readingMonitor.h"

#include "controller/readScheduler.h"
#include "gui/mainFrame.h"

#include <QFileInfo>

#include <algorithm>

namespace {

// A long read's blocks appear batch by batch, five times a second: often enough to watch, rare
// enough that painting takes little from the read.
constexpr int intervalle = 200;

} // namespace

ReadingMonitor::ReadingMonitor(MainFrame *mainFrame, ReadScheduler &scheduler,
                               std::function<bool()> pcMontre)
    : mainFrame(mainFrame), scheduler(scheduler), pcMontre(std::move(pcMontre))
{
    minuterie.setInterval(intervalle);
    connect(&minuterie, &QTimer::timeout, this, &ReadingMonitor::actualiser);
    // After the end's own follow-up, which may start the next read.
    connect(&scheduler, &ReadScheduler::lectureTerminee, this, [this] {
        QMetaObject::invokeMethod(this, &ReadingMonitor::actualiser, Qt::QueuedConnection);
    });
}

void ReadingMonitor::actualiser()
{
    const std::vector<ReadScheduler::Avancement> lectures =
        scheduler.ferme() ? std::vector<ReadScheduler::Avancement>() : scheduler.avancements();
    QStringList fichiers;
    qint64 cycles = 0;
    qint64 cyclesPc = 0;
    for (const ReadScheduler::Avancement &a : lectures) {
        const QString nom = QFileInfo(a.nom).fileName();
        if (!fichiers.contains(nom))
            fichiers << nom;
        cycles += a.cycle ? a.dernierCycle : 0;
        cyclesPc += a.pc ? a.dernierCycle : 0;
    }
    if (lectures.empty()) {
        minuterie.stop();
        cyclesMontres = cyclesMontresPc = -1;
    } else {
        if (!minuterie.isActive())
            minuterie.start();
        scheduler.actualiser();
        // The first is the cycle view's own file when it is being read.
        const ReadScheduler::Avancement &a = lectures.front();
        const qint64 nb = std::max(1, scheduler.fenetre(ReadScheduler::Vue::Cycle).nbCycleParFichier());
        const qint64 lus = std::clamp<qint64>(qint64(a.dernierCycle) - a.numero + 1, 0, nb);
        fichiers.first() += QStringLiteral(": ") + QString::number(lus * 100 / nb) +
                            QStringLiteral(" %");
    }
    if (!mainFrame)
        return;
    if (cyclesMontres >= 0 && cycles != cyclesMontres)
        mainFrame->repaintTraceCycle();
    if (cyclesMontresPc >= 0 && cyclesPc != cyclesMontresPc && pcMontre())
        mainFrame->repaintTracePc();
    if (!lectures.empty()) {
        cyclesMontres = cycles;
        cyclesMontresPc = cyclesPc;
    }
    if (fichiers != montres) {
        montres = fichiers;
        mainFrame->setLecturesEnCours(fichiers);
    }
}
