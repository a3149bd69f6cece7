#ifndef ATOMICFILE_H
#define ATOMICFILE_H

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Replaces fileName with data in one step: whatever happens while writing (a crash, a full
// disk), the file holds either its old contents or the new ones whole. On failure, returns
// false and sets *reason (when given) to the system's reason.
// A file that did not exist is created with newFileMode less the umask (by default rw-rw-rw-,
// in QFileDevice's bits); an existing one keeps its mode.
bool writeFileAtomically(const QString &fileName, const QByteArray &data, QString *reason,
                         QFileDevice::Permissions newFileMode = QFileDevice::Permissions(0x6666));

#endif
