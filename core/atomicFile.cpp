#include "core/atomicFile.h"

#include <QFileInfo>
#include <QSaveFile>

bool writeFileAtomically(const QString &fileName, const QByteArray &data, QString *reason,
                         QFileDevice::Permissions newFileMode)
{
    const bool nouveau = !QFileInfo::exists(fileName);
    QSaveFile file(fileName);
    QString echec;
    if (!file.open(QIODevice::WriteOnly)) {
        echec = file.errorString();
    } else if (nouveau && !file.setPermissions(file.permissions() & newFileMode)) {
        // The temporary file starts as 0666 less the umask and becomes the file as it is.
        echec = file.errorString();
        file.cancelWriting();
    } else if (file.write(data) != data.size() || !file.flush()) {
        // A full disk may take part of the data only: flush() says so, but commit() would not
        // and would put the cut file in the old one's place. Not committed, the old one stays.
        echec = file.errorString();
        file.cancelWriting();
    } else if (!file.commit()) {
        echec = file.errorString();
    }
    if (!echec.isNull() && reason)
        *reason = echec;
    return echec.isNull();
}
