#ifndef STRINGLISTFILE_H
#define STRINGLISTFILE_H

#include <QString>
#include <QStringList>

// A string list stored as QDataStream writes it: a 32-bit big-endian count, then for each
// string its length in bytes (32-bit big-endian, 0xffffffff for a null string) and its UTF-16
// code units, big-endian. Files written by earlier versions of the help window stay readable.
class StringListFile
{
public:
    // Larger files are not ours: the lists hold a few dozen short paths.
    static constexpr qint64 maxFileSize = 4 * 1024 * 1024;

    // Reads fileName into list. A missing, unreadable, oversized or malformed file yields
    // false and an empty list; no count read from the file is trusted before it is checked
    // against the bytes that are really there.
    static bool read(const QString &fileName, QStringList &list);
    static bool parse(const QByteArray &data, QStringList &list);

    // Replaces fileName atomically: a crash while writing leaves the old file intact. On
    // failure, errorText (when given) says why.
    static bool write(const QString &fileName, const QStringList &list,
                      QString *errorText = nullptr);
    static QByteArray serialize(const QStringList &list);
};

#endif
