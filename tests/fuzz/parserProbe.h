#ifndef PARSERPROBE_H
#define PARSERPROBE_H

// Shared by the parser fuzz targets: drives one parser over an in-memory document and checks
// the parser's own promises rather than mere survival. Any broken promise aborts, which the
// fuzzer records as a crash and the replay test reports as a failure.

#include "parsers/parser.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void fuzzFail(const char *what)
{
    std::fprintf(stderr, "broken invariant: %s\n", what);
    std::abort();
}

template<class P>
class ParserProbe : public P
{
public:
    int signalCount = 0;
    int reportCount = 0;
    int signalsAfterStop = 0;
    bool cleanEnd = false;
    int stopAfter = -1; // request a stop after this many signals; -1 never
    QString lastReport;

    // Counted by every signal handler the target connects.
    void onSignal()
    {
        if (this->isStopRequested())
            ++signalsAfterStop;
        ++signalCount;
        if (stopAfter >= 0 && signalCount >= stopAfter && !this->isStopRequested())
            this->requestStop();
    }
    void onReport(const QString &text)
    {
        ++reportCount;
        lastReport = text;
        onSignal();
    }

protected:
    int nbEtats() const
    {
        return this->tabTag.isEmpty() ? 0 : int(this->automate.size() / this->tabTag.size());
    }
    void checkState() const
    {
        if (this->etatCourant < 0 || this->etatCourant >= nbEtats())
            fuzzFail("automaton state out of range");
    }
    bool startElement(const QString &name) override
    {
        const bool ok = P::startElement(name);
        checkState();
        return ok;
    }
    bool endElement(const QString &name) override
    {
        const bool ok = P::endElement(name);
        checkState();
        return ok;
    }
    bool endDocument() override
    {
        if (cleanEnd)
            fuzzFail("document ended twice");
        cleanEnd = true;
        return P::endDocument();
    }
};

// The first byte of the input picks when to ask for a stop (0: never), the rest is the file.
template<class P>
void runProbe(ParserProbe<P> &probe, const uint8_t *data, size_t size)
{
    if (size == 0)
        return;
    probe.stopAfter = data[0] == 0 ? -1 : data[0] % 16;
    const QByteArray document(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const QString name = QStringLiteral("fuzz.xml");
    probe.parseData(document, name);

    if (probe.signalsAfterStop != 0)
        fuzzFail("signal emitted after the stop");
    if (probe.isStopRequested())
        return;
    if (probe.reportCount > 1)
        fuzzFail("more than one report for one document");
    if (probe.reportCount == 1 && probe.cleanEnd)
        fuzzFail("a report and a clean end for the same document");
    if (probe.reportCount == 0 && !probe.cleanEnd)
        fuzzFail("neither a report nor a clean end");
    if (probe.reportCount == 1 && !probe.lastReport.startsWith(QStringLiteral("\nFile : fuzz.xml\n")))
        fuzzFail("report does not name the file");
}

#endif
