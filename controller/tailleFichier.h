#ifndef TAILLEFICHIER_H
#define TAILLEFICHIER_H

#include <QFileInfo>
#include <QString>

// A file far beyond what a simulator writes per slice would fill the memory with blocks (or,
// for the configuration and the listing, freeze the window while it is read): it is refused
// before any reading, with the reason. A directory is left to the parser, which cannot open it.
namespace TailleFichier {

constexpr qint64 maximum = qint64(128) << 20;

// The message refusing the file, or an empty string when it may be read.
inline QString refus(const QString &name)
{
    const QFileInfo info(name);
    if (info.isFile() && info.size() > maximum)
        return QStringLiteral("File ") + name + QStringLiteral(" is too large: ") +
               QString::number(info.size()) + QStringLiteral(" bytes, at most ") +
               QString::number(maximum) + QStringLiteral(" are read");
    return QString();
}

} // namespace TailleFichier

#endif
