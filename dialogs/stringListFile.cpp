#include "dialogs/stringListFile.h"

#include "core/atomicFile.h"

#include <QDataStream>
#include <QFile>
#include <QIODevice>
#include <QtEndian>

namespace {

constexpr quint32 nullStringLength = 0xffffffffu;

} // namespace

bool StringListFile::read(const QString &fileName, QStringList &list)
{
    list.clear();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxFileSize)
        return false;
    return parse(file.read(maxFileSize + 1), list);
}

bool StringListFile::parse(const QByteArray &data, QStringList &list)
{
    list.clear();
    if (data.size() > maxFileSize)
        return false;
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    const qsizetype size = data.size();
    qsizetype offset = 0;
    auto readLength = [&](quint32 &value) {
        if (size - offset < 4)
            return false;
        value = qFromBigEndian<quint32>(bytes + offset);
        offset += 4;
        return true;
    };

    quint32 count = 0;
    if (!readLength(count) || count > quint64(size - offset) / 4)
        return false;
    QStringList result;
    for (quint32 i = 0; i < count; ++i) {
        quint32 length = 0;
        if (!readLength(length))
            return false;
        if (length == nullStringLength) {
            result.append(QString());
            continue;
        }
        if (length % 2 != 0 || length > quint64(size - offset))
            return false;
        QString text(qsizetype(length / 2), Qt::Uninitialized);
        for (qsizetype unit = 0; unit < text.size(); ++unit)
            text[unit] = QChar(qFromBigEndian<quint16>(bytes + offset + 2 * unit));
        offset += length;
        result.append(text);
    }
    list = result;
    return true;
}

QByteArray StringListFile::serialize(const QStringList &list)
{
    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    // Pinned so that the count stays 32 bits whatever Qt writes by default.
    stream.setVersion(QDataStream::Qt_5_15);
    stream.setByteOrder(QDataStream::BigEndian);
    stream << list;
    return data;
}

bool StringListFile::write(const QString &fileName, const QStringList &list, QString *errorText)
{
    return writeFileAtomically(fileName, serialize(list), errorText);
}
