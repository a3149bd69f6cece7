#include "tools/traceGenerator/traceGenerator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

bool readInt(const QCommandLineParser &parser, const QString &name, int *value, QString *error)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int n = parser.value(name).toInt(&ok, 10);
    if (!ok) {
        *error =
            QStringLiteral("--%1 wants a decimal number, not \"%2\"").arg(name, parser.value(name));
        return false;
    }
    *value = n;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("traceGenerator"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a sample data set for the Zelvar viewer: event configuration, trace files, "
        "zoom files and assembly listing, all from one simulated out-of-order core.\n"
        "The same options always give the same files. Files of the set's name shapes that the "
        "new set does not hold are removed from its directories."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("root"),
                                 QStringLiteral("Directory that receives the set, e.g. xml."));
    const TraceGeneratorOptions d;
    struct IntOption
    {
        const char *name;
        int *value;
        const char *help;
    };
    TraceGeneratorOptions o;
    const IntOption ints[] = {
        {"cycles", &o.nbCycleTotal, "Total number of cycles"},
        {"cycles-per-file", &o.nbCycleParTrace, "Cycles per trace and zoom file"},
        {"from-cycle", &o.fromCycle,
         "First cycle written: the files before the one holding it are left out"},
        {"pcs", &o.nbPc, "Number of pcs of the program"},
        {"pcs-per-file", &o.nbPcParAsm, "Pcs per assembly file"},
        {"events", &o.nbEventKinds, "Number of configured event kinds"},
        {"fetch-width", &o.fetchWidth, "Instructions fetched per cycle (event density)"},
        {"rob-size", &o.robSize, "Instructions in flight before fetch stalls"},
    };
    for (const IntOption &i : ints)
        parser.addOption(
            {QLatin1String(i.name),
             QStringLiteral("%1 (default %2).").arg(QLatin1String(i.help)).arg(*i.value),
             QStringLiteral("n")});
    parser.addOption({QStringLiteral("seed"),
                      QStringLiteral("Seed of the program and the run (default %1).").arg(d.seed),
                      QStringLiteral("n")});
    parser.addOption({QStringLiteral("zoom-levels"),
                      QStringLiteral("Comma-separated zoom levels, each dividing the cycles per "
                                     "file; empty for none (default: 10 and 100, those that "
                                     "divide the cycles per file)."),
                      QStringLiteral("list")});
    struct TextOption
    {
        const char *name;
        QString *value;
        const char *help;
    };
    const TextOption texts[] = {
        {"config-file", &o.configFile, "Configuration file, relative to root unless absolute"},
        {"trace-directory", &o.traceDirectory, "Trace directory, relative to root unless absolute"},
        {"zoom-directory", &o.zoomDirectory, "Zoom directory, relative to root unless absolute"},
        {"asm-directory", &o.asmDirectory, "Listing directory, relative to root unless absolute"},
        {"trace-prefix", &o.tracePrefixe, "Trace file prefix"},
        {"zoom-prefix", &o.zoomPrefixe, "Zoom file prefix"},
        {"asm-prefix", &o.asmPrefixe, "Listing file prefix"},
    };
    for (const TextOption &t : texts)
        parser.addOption({QLatin1String(t.name),
                          QStringLiteral("%1 (default %2).").arg(QLatin1String(t.help), *t.value),
                          QStringLiteral("name")});
    parser.addOption({{QStringLiteral("q"), QStringLiteral("quiet")},
                      QStringLiteral("Print nothing on success.")});
    parser.process(app);

    QTextStream err(stderr);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        err << "traceGenerator: give exactly one root directory (see --help)\n";
        return 2;
    }
    o.rootDirectory = positional.first();

    QString error;
    for (const IntOption &i : ints) {
        if (!readInt(parser, QLatin1String(i.name), i.value, &error)) {
            err << "traceGenerator: " << error << '\n';
            return 2;
        }
    }
    if (parser.isSet(QStringLiteral("seed"))) {
        bool ok = false;
        o.seed = parser.value(QStringLiteral("seed")).toULongLong(&ok, 10);
        if (!ok) {
            err << "traceGenerator: --seed wants a decimal number\n";
            return 2;
        }
    }
    // A long trace wants an overview coarser than groups of ten cycles.
    o.zoomLevels.clear();
    if (!parser.isSet(QStringLiteral("zoom-levels"))) {
        for (int level : {10, 100}) {
            if (o.nbCycleParTrace > 0 && o.nbCycleParTrace % level == 0)
                o.zoomLevels << level;
        }
    } else {
        const QStringList levels =
            parser.value(QStringLiteral("zoom-levels")).split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString &level : levels) {
            bool ok = false;
            o.zoomLevels << level.trimmed().toInt(&ok, 10);
            if (!ok) {
                err << "traceGenerator: bad zoom level \"" << level << "\"\n";
                return 2;
            }
        }
    }
    for (const TextOption &t : texts) {
        if (parser.isSet(QLatin1String(t.name)))
            *t.value = parser.value(QLatin1String(t.name));
    }

    TraceGenerator generator(o);
    if (!generator.generate()) {
        err << "traceGenerator: " << generator.errorString() << '\n';
        return 1;
    }
    if (!parser.isSet(QStringLiteral("quiet"))) {
        const TraceGeneratorSummary &s = generator.summary();
        QTextStream out(stdout);
        out << "Wrote " << s.traceFiles << " trace, " << s.zoomFiles << " zoom and " << s.asmFiles
            << " assembly files with " << s.events << " events (" << s.pcEvents
            << " tied to a pc) under " << o.rootDirectory << '\n';
        if (s.staleFilesRemoved > 0)
            out << "Removed " << s.staleFilesRemoved << " files of an earlier set\n";
    }
    return 0;
}
