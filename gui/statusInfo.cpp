#include "gui/statusInfo.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

namespace {

// Texts of any length (file names) are cut to this many pixels: the fields must never make
// the status bar, and so the window, wider than it is.
constexpr int largeurTexteMax = 220;

QLabel *champ(QStatusBar *bar, const char *name)
{
    auto *label = new QLabel(bar);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(1);
    label->hide();
    bar->addPermanentWidget(label);
    return label;
}

void montrer(QLabel *label, const QString &texte)
{
    label->setText(label->fontMetrics().elidedText(texte, Qt::ElideRight, largeurTexteMax));
    label->setToolTip(texte == label->text() ? QString() : texte);
    label->setVisible(!texte.isEmpty());
}

} // namespace

StatusInfo::StatusInfo(QStatusBar *bar) : QObject(bar)
{
    lectures = champ(bar, "statusReading");
    recherche = champ(bar, "statusSearch");
    occupation = new QProgressBar(bar);
    occupation->setObjectName(QStringLiteral("statusBusy"));
    occupation->setRange(0, 0); // no end known: the bar shows activity only
    occupation->setTextVisible(false);
    // No taller than a line of text, so that the status bar keeps its height when it shows.
    occupation->setFixedSize(48, bar->fontMetrics().height() - 2);
    occupation->hide();
    bar->addPermanentWidget(occupation);
    marqueurs = champ(bar, "statusMarkers");
    niveau = champ(bar, "statusLevel");
    cycles = champ(bar, "statusCycles");
}

void StatusInfo::setNiveau(int n)
{
    montrer(niveau, n > 0 ? QStringLiteral("Level %1").arg(n) : QString());
}

void StatusInfo::setCycles(int premier, int dernier)
{
    montrer(cycles,
            premier < 0 ? QString() : QStringLiteral("Cycles %1-%2").arg(premier).arg(dernier));
}

void StatusInfo::setMarqueurs(const std::vector<int> &c)
{
    QString texte;
    if (c.size() == 1)
        texte = QStringLiteral("Marker %1").arg(c[0]);
    else if (c.size() == 2)
        texte = QStringLiteral("Markers %1, %2: %3 cycles")
                    .arg(c[0])
                    .arg(c[1])
                    .arg(qAbs(qint64(c[1]) - c[0]));
    montrer(marqueurs, texte);
}

void StatusInfo::setLectures(const QStringList &fichiers)
{
    lit = !fichiers.isEmpty();
    montrer(lectures,
            lit ? QStringLiteral("Reading ") + fichiers.join(QStringLiteral(", ")) : QString());
    montrerOccupation();
}

void StatusInfo::setRecherche(const QString &texte, bool enCours)
{
    cherche = enCours;
    montrer(recherche, texte);
    montrerOccupation();
}

void StatusInfo::montrerOccupation()
{
    occupation->setVisible(lit || cherche);
}
