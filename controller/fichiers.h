#ifndef FICHIERS_H
#define FICHIERS_H

#include <QFileInfo>
#include <QLoggingCategory>
#include <QString>

// The controller's log (quiet by default): each file it starts reading, "reading <name>".
Q_DECLARE_LOGGING_CATEGORY(lcController)

// What the controller says of the input files it cannot read.
namespace Fichiers {

inline QString manquant(const QString &name)
{
    return QStringLiteral("File ") + name + QStringLiteral(" doesn't exist");
}

// A file far beyond what a simulator writes per slice would fill the memory with blocks (or,
// for the configuration and the listing, freeze the window while it is read): it is refused
// before any reading, with the reason. A directory is left to the parser, which cannot open it.
constexpr qint64 tailleMaximum = qint64(128) << 20;

// The message refusing the file, or an empty string when it may be read.
inline QString refus(const QString &name)
{
    const QFileInfo info(name);
    if (info.isFile() && info.size() > tailleMaximum)
        return QStringLiteral("File ") + name + QStringLiteral(" is too large: ") +
               QString::number(info.size()) + QStringLiteral(" bytes, at most ") +
               QString::number(tailleMaximum) + QStringLiteral(" are read");
    return QString();
}

} // namespace Fichiers

#endif
