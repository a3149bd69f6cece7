#ifndef PARAMETRES_H
#define PARAMETRES_H

#include <QByteArray>
#include <QString>

// The ten parameters that say where the input files are and how they are cut, their text
// form in "Parametres.txt" and the names of the files they lead to.
class Parametres
{
public:
    // The built-in defaults.
    Parametres() = default;

    QString configFile = QStringLiteral("../xml/config.xml");
    QString tracePrefixe = QStringLiteral("trace");
    QString traceDirectory = QStringLiteral("../xml/100/trace");
    QString zoomPrefixe = QStringLiteral("zoom");
    QString zoomDirectory = QStringLiteral("../xml/100/zoom");
    int nbCycleParTrace = 100;
    QString asmPrefixe = QStringLiteral("asm");
    QString asmDirectory = QStringLiteral("../xml/100/asm");
    int nbPcParAsm = 100;
    int nbCycleTotal = 500;

    bool operator==(const Parametres &other) const;
    bool operator!=(const Parametres &other) const { return !(*this == other); }

    // Reads the file's text. Ten lines, empty ones included, or else ten non-empty lines among
    // blank ones, give one value per line (trimmed), so that an empty field or a directory
    // with spaces keeps the values after it in place; anything else is read as
    // whitespace-separated tokens. A value that is missing keeps its default, and so does a
    // count of cycles or pcs per file that is not a positive decimal number (a zero would
    // divide by zero in every file name); a total that is not a number reads as 0.
    static Parametres fromText(const QByteArray &text);
    // One value per line, in the file's order.
    QByteArray toText() const;

    // Reads the file; false when it cannot be opened (the defaults are returned then).
    static bool load(const QString &filename, Parametres &parametres);
    // Writes to a temporary file renamed over the old one, so that a crash or a full disk
    // never leaves a truncated file behind; a new file gets mode 0664 less the umask. On
    // failure, errorText names the file and the reason.
    bool save(const QString &filename, QString *errorText) const;

    // Number of the file holding value when files hold perFile values each (truncating
    // toward zero, like the file numbers the simulator writes).
    static int numeroFichier(int value, int perFile);

    QString traceFilename(int numero) const;
    QString zoomFilename(int niveauZoom, int numero) const;
    QString asmFilename(int numero) const;
};

#endif
