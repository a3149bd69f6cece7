#include "gui/recentFolders.h"

#include <QMenu>
#include <QSettings>

namespace {

const QString cle = QStringLiteral("recentFolders");

QSettings reglages()
{
    return QSettings(QStringLiteral("Zelvar"), QStringLiteral("Zelvar"));
}

} // namespace

RecentFolders::RecentFolders(QMenu *parentMenu, QObject *parent)
    : QObject(parent), menu(parentMenu->addMenu(QStringLiteral("&Recent Folders")))
{
    menu->setObjectName(QStringLiteral("recentFoldersMenu"));
    // Another viewer running at the same time may have opened folders since.
    connect(parentMenu, &QMenu::aboutToShow, this, &RecentFolders::remplir);
    remplir();
}

QStringList RecentFolders::dossiers() const
{
    return reglages().value(cle).toStringList().mid(0, nbMaximum);
}

void RecentFolders::ajouter(const QString &dossier)
{
    QStringList liste = dossiers();
    liste.removeAll(dossier);
    liste.prepend(dossier);
    reglages().setValue(cle, liste.mid(0, nbMaximum));
    remplir();
}

void RecentFolders::remplir()
{
    menu->clear();
    const QStringList liste = dossiers();
    for (const QString &dossier : liste) {
        QString texte = dossier;
        texte.replace(QLatin1Char('&'), QStringLiteral("&&"));
        menu->addAction(texte, this, [this, dossier] { emit ouvrir(dossier); });
    }
    menu->menuAction()->setEnabled(!liste.isEmpty());
}
