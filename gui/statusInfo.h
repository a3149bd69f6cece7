#ifndef STATUSINFO_H
#define STATUSINFO_H

#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

class QLabel;
class QProgressBar;
class QStatusBar;

// What the status bar says of the view, in permanent fields on its right, so that the
// messages shown on its left (the "Ready" of the start) keep their place: the files being read
// or the search under way, with a busy indicator, the markers and the distance between them,
// the zoom level and the cycles on screen. Fields with nothing to say are hidden.
class StatusInfo : public QObject
{
    Q_OBJECT

public:
    explicit StatusInfo(QStatusBar *bar);

    void setNiveau(int niveau);
    // premier < 0: nothing on screen.
    void setCycles(int premier, int dernier);
    void setMarqueurs(const std::vector<int> &cycles);
    // The files read now, by name; none when the list is empty.
    void setLectures(const QStringList &fichiers);
    // What a search found, or is looking for while enCours.
    void setRecherche(const QString &texte, bool enCours);

private:
    void montrerOccupation();

    QLabel *lectures;
    QLabel *recherche;
    QProgressBar *occupation;
    QLabel *marqueurs;
    QLabel *niveau;
    QLabel *cycles;
    bool lit = false;
    bool cherche = false;
};

#endif
