#ifndef ZELVAR_TOOLS_TRACEGENERATOR_H
#define ZELVAR_TOOLS_TRACEGENERATOR_H

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Sizes and names of a generated data set. Directories are relative to rootDirectory unless
// absolute; the defaults give the layout the viewer's default parameters point at:
// <root>/config.xml, <root>/100/trace/trace_0.xml, <root>/100/zoom/zoom_10_0.xml,
// <root>/100/asm/asm_0.xml.
struct TraceGeneratorOptions
{
    QString rootDirectory;
    QString configFile = QStringLiteral("config.xml");
    QString traceDirectory = QStringLiteral("100/trace");
    QString zoomDirectory = QStringLiteral("100/zoom");
    QString asmDirectory = QStringLiteral("100/asm");
    QString tracePrefixe = QStringLiteral("trace");
    QString zoomPrefixe = QStringLiteral("zoom");
    QString asmPrefixe = QStringLiteral("asm");

    quint64 seed = 1;
    int nbCycleTotal = 500; // cycles 0 .. nbCycleTotal - 1
    // Only the files from the one holding this cycle on are written, the run starting there:
    // the end of a very long trace without the time and disk of its beginning.
    int fromCycle = 0;
    int nbCycleParTrace = 100;    // cycles per trace (and zoom) file
    int nbPcParAsm = 100;         // pcs per assembly file
    int nbEventKinds = 12;        // configured events; beyond the pipeline's own, unit_<k> events
    int nbPc = 200;               // program size: pcs 0 .. nbPc - 1, all listed
    QList<int> zoomLevels = {10}; // each must divide nbCycleParTrace
    int fetchWidth = 4;           // instructions fetched per cycle
    int robSize = 48;             // instructions in flight before fetch stalls

    // Absolute paths of the files the options name (numbers as the viewer builds them).
    QString configFilePath() const;
    QString traceFilePath(int firstCycle) const;
    QString zoomFilePath(int level, int firstCycle) const;
    QString asmFilePath(int firstPc) const;
};

struct TraceGeneratorSummary
{
    int traceFiles = 0;
    int zoomFiles = 0;
    int asmFiles = 0;
    qint64 events = 0;   // events written to the trace files
    qint64 pcEvents = 0; // of which tied to a pc
    int maxPcUsed = -1;  // highest pc a trace file names
    int staleFilesRemoved = 0;
};

// Writes a complete, mutually consistent data set (configuration, traces, zoom counts computed
// from the traces, assembly listing of every pc) from a simulated out-of-order core. The same
// options always give byte-identical files. Output is streamed, so sizes are bounded by disk.
class TraceGenerator
{
public:
    explicit TraceGenerator(const TraceGeneratorOptions &options = TraceGeneratorOptions());

    // Empty when the options can be used, else why not.
    static QString checkOptions(const TraceGeneratorOptions &options);
    // The configured event names in file order for a number of kinds.
    static QStringList eventNames(int nbEventKinds);

    // Writes everything; false with errorString() naming the file and the reason on failure.
    // Files of an earlier, larger set under the same names are removed so the set stays whole.
    bool generate();

    QString errorString() const { return error; }
    const TraceGeneratorSummary &summary() const { return stats; }
    const TraceGeneratorOptions &options() const { return opts; }

private:
    TraceGeneratorOptions opts;
    TraceGeneratorSummary stats;
    QString error;
};

#endif
