#ifndef RECENTFOLDERS_H
#define RECENTFOLDERS_H

#include <QObject>
#include <QString>
#include <QStringList>

class QMenu;

// The trace folders opened last, most recent first, kept in the user's settings and offered
// as a submenu of the given menu; the submenu is disabled while the list is empty.
class RecentFolders : public QObject
{
    Q_OBJECT

public:
    static constexpr int nbMaximum = 8;

    RecentFolders(QMenu *parentMenu, QObject *parent);

    QStringList dossiers() const;
    // Puts the folder first (once).
    void ajouter(const QString &dossier);

signals:
    void ouvrir(const QString &dossier);

private:
    void remplir();

    QMenu *menu;
};

#endif
