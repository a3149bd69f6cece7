#include "controller/traceFolder.h"

#include "parsers/parserAsm.h"
#include "parsers/parserTrace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <map>
#include <numeric>

namespace {

enum class Sorte { Autre, Config, Trace, Zoom, Asm };

// A file's kind from its root element; a "trace" root is a zoom file when its events carry
// counts. Only the file's head is read.
Sorte sorte(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Sorte::Autre;
    QXmlStreamReader xml(&file);
    bool trace = false;
    for (int tokens = 0; tokens < 4096 && !xml.atEnd(); ++tokens) {
        xml.readNext();
        if (xml.isStartElement() && !trace) {
            if (xml.name() == u"config")
                return Sorte::Config;
            if (xml.name() == u"asm")
                return Sorte::Asm;
            if (xml.name() != u"trace")
                return Sorte::Autre;
            trace = true;
        } else if (xml.isStartElement() && xml.name() == u"count") {
            return Sorte::Zoom;
        } else if (xml.isEndElement() && xml.name() == u"event") {
            return Sorte::Trace;
        }
    }
    return trace ? Sorte::Trace : Sorte::Autre;
}

// The files of one kind in a folder: the prefix most of them share, and their numbers (with
// the zoom level for zoom files).
struct Serie
{
    QString dossier;
    QString prefixe;
    std::map<int, QList<int>> numeros; // level (0 for trace and listing files) -> numbers
    bool vide() const { return numeros.empty(); }
};

Serie serie(const QString &dossier, Sorte kind)
{
    static const QRegularExpression simple(QStringLiteral("^(.+)_(-?\\d+)\\.xml$"));
    static const QRegularExpression zoom(QStringLiteral("^(.+)_(\\d+)_(-?\\d+)\\.xml$"));
    const QRegularExpression &nom = kind == Sorte::Zoom ? zoom : simple;
    std::map<QString, std::map<int, QList<int>>> parPrefixe;
    const QStringList files =
        QDir(dossier).entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        const QRegularExpressionMatch m = nom.match(file);
        bool ok = false;
        const int numero = m.captured(kind == Sorte::Zoom ? 3 : 2).toInt(&ok, 10);
        const int niveau = kind == Sorte::Zoom ? m.captured(2).toInt() : 0;
        if (m.hasMatch() && ok)
            parPrefixe[m.captured(1)][niveau].append(numero);
    }
    Serie s{dossier, QString(), {}};
    std::size_t plus = 0;
    for (const auto &[prefixe, numeros] : parPrefixe) {
        std::size_t n = 0;
        for (const auto &entry : numeros)
            n += static_cast<std::size_t>(entry.second.size());
        if (n > plus) {
            plus = n;
            s.prefixe = prefixe;
            s.numeros = numeros;
        }
    }
    for (auto &entry : s.numeros)
        std::sort(entry.second.begin(), entry.second.end());
    return s;
}

// The kind of a folder's files, from the first one named as trace, zoom and listing files are.
Sorte sorteDossier(const QString &dossier)
{
    static const QRegularExpression numerote(QStringLiteral("_-?\\d+\\.xml$"));
    for (const QString &file :
         QDir(dossier).entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
        if (numerote.match(file).hasMatch())
            return sorte(dossier + QLatin1Char('/') + file);
    }
    return Sorte::Autre;
}

class DernierCycle final : public ParserTrace::Recepteur
{
public:
    void addCycleTrace(int cycle) override { dernier = std::max(dernier, cycle); }
    void newEventTrace(const QString &) override {}
    void pcTrace(int) override {}
    void addEventTrace() override {}
    int dernier = -1;
};

int dernierCycle(const QString &file)
{
    DernierCycle recepteur;
    ParserTrace parser;
    parser.setRecepteur(&recepteur);
    parser.setInputFilename(file);
    parser.parse();
    return recepteur.dernier;
}

int dernierPc(const QString &file)
{
    int dernier = -1;
    ParserAsm parser;
    QObject::connect(&parser, &ParserAsm::pc, &parser,
                     [&dernier](const QString &pc) { dernier = std::max(dernier, pc.toInt()); });
    parser.setInputFilename(file);
    parser.parse();
    return dernier;
}

} // namespace

QString TraceFolder::Detection::message() const
{
    return QStringLiteral("Cannot open the trace folder ") + dossier + QStringLiteral(":\n") +
           manquants.join(QLatin1Char('\n'));
}

TraceFolder::Detection TraceFolder::detecter(const QString &chemin)
{
    Detection d;
    const QDir racine(chemin);
    d.dossier = QDir::cleanPath(racine.absolutePath());
    if (!QFileInfo(d.dossier).isDir()) {
        d.manquants << d.dossier + QStringLiteral(" is not a folder");
        return d;
    }

    // The configuration: config.xml if it is one, else the first file that is one.
    QString config;
    for (const QString &file :
         racine.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
        const QString path = d.dossier + QLatin1Char('/') + file;
        if ((config.isEmpty() || file == QLatin1String("config.xml")) &&
            sorte(path) == Sorte::Config)
            config = path;
    }
    if (config.isEmpty())
        d.manquants << QStringLiteral("no event configuration (an XML file whose root element "
                                      "is \"config\") in ") +
                           d.dossier;
    else
        d.parametres.configFile = config;

    // The first folder named after a number of cycles that holds trace files.
    static const QRegularExpression nombre(QStringLiteral("^[1-9][0-9]{0,8}$"));
    Serie traces, zooms, listings;
    int nbCycle = 0;
    for (const QString &sous : racine.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (!nombre.match(sous).hasMatch())
            continue;
        const QString coupe = d.dossier + QLatin1Char('/') + sous;
        Serie t, z, a;
        for (const QString &dossier :
             QDir(coupe).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            const QString path = coupe + QLatin1Char('/') + dossier;
            const Sorte kind = sorteDossier(path);
            Serie &cible = kind == Sorte::Trace ? t : kind == Sorte::Zoom ? z : a;
            if ((kind == Sorte::Trace || kind == Sorte::Zoom || kind == Sorte::Asm) && cible.vide())
                cible = serie(path, kind);
        }
        if (!t.vide()) {
            traces = t;
            zooms = z;
            listings = a;
            nbCycle = sous.toInt();
            break;
        }
    }
    if (traces.vide()) {
        d.manquants << QStringLiteral("no trace files in a folder named after the cycles per "
                                      "file (such as ") +
                           d.dossier + QStringLiteral("/100/trace)");
        return d;
    }

    Parametres &p = d.parametres;
    const QString coupe = QFileInfo(traces.dossier).path();
    p.traceDirectory = traces.dossier;
    p.tracePrefixe = traces.prefixe;
    p.nbCycleParTrace = nbCycle;
    const QList<int> &numeros = traces.numeros.begin()->second;
    for (int numero : numeros) {
        if (numero % nbCycle != 0) {
            d.manquants << QStringLiteral("trace files cut every %1 cycles, as the folder %2 "
                                          "says: %3 starts at cycle %4")
                               .arg(nbCycle)
                               .arg(coupe, p.traceFilename(numero))
                               .arg(numero);
            return d;
        }
    }
    const int dernier = dernierCycle(p.traceFilename(numeros.last()));
    p.nbCycleTotal = dernier >= 0 ? dernier + 1 : numeros.last() + nbCycle;

    // Without zoom files the trace is still seen, at single cycles only; without listings,
    // without its instructions.
    p.zoomDirectory = zooms.vide() ? coupe + QStringLiteral("/zoom") : zooms.dossier;
    if (!zooms.vide())
        p.zoomPrefixe = zooms.prefixe;
    for (const auto &entry : zooms.numeros) {
        if (entry.first > 1)
            d.niveauxZoom << entry.first;
    }
    p.asmDirectory = listings.vide() ? coupe + QStringLiteral("/asm") : listings.dossier;
    if (!listings.vide()) {
        p.asmPrefixe = listings.prefixe;
        const QList<int> &asmNumeros = listings.numeros.begin()->second;
        int pas = 0;
        for (int numero : asmNumeros)
            pas = std::gcd(pas, numero);
        if (pas <= 0) // a single listing, from pc 0: as many rows as it has pcs
            pas = dernierPc(p.asmFilename(asmNumeros.first())) + 1;
        if (pas > 0)
            p.nbPcParAsm = pas;
    }
    return d;
}
