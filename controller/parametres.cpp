#include "controller/parametres.h"

#include "core/atomicFile.h"

#include <QFile>
#include <QList>
#include <QStringDecoder>

#include <algorithm>

namespace {

constexpr int nbValues = 10;

// rw-rw-r--, less the umask, for a parameters file written for the first time.
const QFileDevice::Permissions newFileMode = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ReadUser | QFileDevice::WriteUser |
                                             QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                             QFileDevice::ReadOther;

// The file is Latin-1. A value Latin-1 cannot hold (a directory named in another script) is
// written as UTF-8 instead of being turned into question marks, and read back as such.
QString decodeValue(const QByteArray &bytes)
{
    const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return text;
    }
    return QString::fromLatin1(bytes);
}

QByteArray encodeValue(const QString &value)
{
    const bool latin1 =
        std::all_of(value.cbegin(), value.cend(), [](QChar c) { return c.unicode() <= 0xff; });
    if (latin1) {
        const QByteArray bytes = value.toLatin1();
        // Latin-1 bytes that happen to form valid UTF-8 would be read back as UTF-8.
        if (decodeValue(bytes) == value)
            return bytes;
    }
    return value.toUtf8();
}

// The counts that cut the files into slices divide every file number: only a positive one
// is taken.
void readDivisor(const QList<QByteArray> &values, int index, int &count)
{
    if (index >= values.size())
        return;
    bool ok = false;
    const int value = values.at(index).toInt(&ok, 10);
    if (ok && value > 0)
        count = value;
}

// Any other count is read as every number the viewer reads: text that is not one gives 0.
void readCount(const QList<QByteArray> &values, int index, int &count)
{
    if (index < values.size())
        count = values.at(index).toInt(nullptr, 10);
}

void readString(const QList<QByteArray> &values, int index, QString &string)
{
    if (index < values.size())
        string = decodeValue(values.at(index));
}

} // namespace

bool Parametres::operator==(const Parametres &other) const
{
    return configFile == other.configFile && tracePrefixe == other.tracePrefixe &&
           traceDirectory == other.traceDirectory && zoomPrefixe == other.zoomPrefixe &&
           zoomDirectory == other.zoomDirectory && nbCycleParTrace == other.nbCycleParTrace &&
           asmPrefixe == other.asmPrefixe && asmDirectory == other.asmDirectory &&
           nbPcParAsm == other.nbPcParAsm && nbCycleTotal == other.nbCycleTotal;
}

Parametres Parametres::fromText(const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    if (text.endsWith('\n'))
        lines.removeLast(); // what follows the last line's end is no line
    QList<QByteArray> filled;
    for (QByteArray &line : lines) {
        line = line.trimmed();
        if (!line.isEmpty())
            filled.append(line);
    }

    // The file the viewer writes has ten lines, an empty one for a field left empty. Ten
    // non-empty lines among blank ones are a hand-edited copy of it. Values read as tokens
    // would shift after an empty one, or split a path with a space.
    QList<QByteArray> values;
    if (lines.size() == nbValues) {
        values = lines;
    } else if (filled.size() == nbValues) {
        values = filled;
    } else {
        for (const QByteArray &token : text.simplified().split(' ')) {
            if (!token.isEmpty())
                values.append(token);
        }
    }

    Parametres parametres;
    readString(values, 0, parametres.configFile);
    readString(values, 1, parametres.tracePrefixe);
    readString(values, 2, parametres.traceDirectory);
    readString(values, 3, parametres.zoomPrefixe);
    readString(values, 4, parametres.zoomDirectory);
    readDivisor(values, 5, parametres.nbCycleParTrace);
    readString(values, 6, parametres.asmPrefixe);
    readString(values, 7, parametres.asmDirectory);
    readDivisor(values, 8, parametres.nbPcParAsm);
    readCount(values, 9, parametres.nbCycleTotal);
    return parametres;
}

QByteArray Parametres::toText() const
{
    QByteArray text;
    const auto line = [&text](const QByteArray &value) {
        text += value;
        text += '\n';
    };
    line(encodeValue(configFile));
    line(encodeValue(tracePrefixe));
    line(encodeValue(traceDirectory));
    line(encodeValue(zoomPrefixe));
    line(encodeValue(zoomDirectory));
    line(QByteArray::number(nbCycleParTrace));
    line(encodeValue(asmPrefixe));
    line(encodeValue(asmDirectory));
    line(QByteArray::number(nbPcParAsm));
    line(QByteArray::number(nbCycleTotal));
    return text;
}

bool Parametres::load(const QString &filename, Parametres &parametres)
{
    QFile file(filename);
    if (!file.open(QIODevice::ReadOnly)) {
        parametres = Parametres();
        return false;
    }
    // Ten short values: anything much longer is not a parameters file.
    parametres = fromText(file.read(1 << 20));
    return true;
}

bool Parametres::save(const QString &filename, QString *errorText) const
{
    QString reason;
    if (writeFileAtomically(filename, toText(), &reason, newFileMode))
        return true;
    if (errorText)
        *errorText = QStringLiteral("Cannot write ") + filename + QStringLiteral(": ") + reason;
    return false;
}

int Parametres::numeroFichier(int value, int perFile)
{
    Q_ASSERT(perFile > 0);
    return (value / perFile) * perFile;
}

QString Parametres::traceFilename(int numero) const
{
    return traceDirectory + QLatin1Char('/') + tracePrefixe + QLatin1Char('_') +
           QString::number(numero) + QStringLiteral(".xml");
}

QString Parametres::zoomFilename(int niveauZoom, int numero) const
{
    return zoomDirectory + QLatin1Char('/') + zoomPrefixe + QLatin1Char('_') +
           QString::number(niveauZoom) + QLatin1Char('_') + QString::number(numero) +
           QStringLiteral(".xml");
}

QString Parametres::asmFilename(int numero) const
{
    return asmDirectory + QLatin1Char('/') + asmPrefixe + QLatin1Char('_') +
           QString::number(numero) + QStringLiteral(".xml");
}
