#include "controller/readingMonitor.h"

#include "controller/readScheduler.h"
#include "gui/mainFrame.h"

#include <QFileInfo>

ReadingMonitor::ReadingMonitor(MainFrame *mainFrame, const ReadScheduler &scheduler)
    : mainFrame(mainFrame), scheduler(scheduler)
{
    minuterie.setInterval(200);
    connect(&minuterie, &QTimer::timeout, this, &ReadingMonitor::actualiser);
    // After the end's own follow-up, which may start the next read.
    connect(&scheduler, &ReadScheduler::lectureTerminee, this, [this] {
        QMetaObject::invokeMethod(this, &ReadingMonitor::actualiser, Qt::QueuedConnection);
    });
}

void ReadingMonitor::actualiser()
{
    QStringList fichiers;
    if (!scheduler.ferme()) {
        for (const ReadScheduler::Vue vue : {ReadScheduler::Vue::Cycle, ReadScheduler::Vue::Pc}) {
            const FileWindow &fenetre = scheduler.fenetre(vue);
            for (const FileWindow::Place place :
                 {FileWindow::Courant, FileWindow::Precedent, FileWindow::Suivant}) {
                const FileWindow::Fichier &f = fenetre.at(place);
                const QString nom = QFileInfo(scheduler.nom(vue, f.numero)).fileName();
                if (f.etat == FileWindow::Etat::EnLecture && !fichiers.contains(nom))
                    fichiers << nom;
            }
        }
    }
    if (fichiers.isEmpty())
        minuterie.stop();
    else if (!minuterie.isActive())
        minuterie.start();
    if (fichiers == montres || !mainFrame)
        return;
    montres = fichiers;
    mainFrame->setLecturesEnCours(fichiers);
}
