#ifndef ATOMICFILE_H
#define ATOMICFILE_H

#include <QByteArray>
#include <QString>

// Replaces fileName with data in one step: whatever happens while writing (a crash, a full
// disk), the file holds either its old contents or the new ones whole. On failure, returns
// false and sets *reason (when given) to the system's reason.
bool writeFileAtomically(const QString &fileName, const QByteArray &data, QString *reason);

#endif
