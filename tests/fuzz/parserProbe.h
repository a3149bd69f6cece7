#ifndef PARSERPROBE_H
#define PARSERPROBE_H

// Shared by the parser fuzz targets: drives one parser over an in-memory document and checks
// the parser's own promises rather than mere survival. Any broken promise aborts, which the
// fuzzer records as a crash and the replay test reports as a failure.

#include "parsers/parser.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void fuzzFail(const char *what)
{
    std::fprintf(stderr, "broken invariant: %s\n", what);
    std::abort();
}

template<class P> class ParserProbe : public P
{
public:
    // Counts the parser's own signals besides the end and the report, then parses the input:
    // its first byte picks when to ask for a stop (0: never), the rest is the file.
    template<class... Signals> void run(const uint8_t *data, size_t size, Signals... parserSignals)
    {
        if (size == 0)
            return;
        const auto count = [this](const auto &...) {
            signalsAfterStop += this->isStopRequested();
            if (++signalCount >= stopAfter && stopAfter >= 0 && !this->isStopRequested())
                this->requestStop();
        };
        QObject::connect(this, &Parser::errorInParse, [this, count](const QString &text) {
            ++reportCount;
            lastReport = text;
            count();
        });
        QObject::connect(this, &Parser::endOfParse, count);
        (QObject::connect(this, parserSignals, count), ...);
        stopAfter = data[0] == 0 ? -1 : data[0] % 16;
        this->parseData(QByteArray(reinterpret_cast<const char *>(data + 1), int(size - 1)),
                        QStringLiteral("fuzz.xml"));

        if (signalsAfterStop != 0)
            fuzzFail("signal emitted after the stop");
        if (this->isStopRequested())
            return;
        if (reportCount > 1)
            fuzzFail("more than one report for one document");
        if (reportCount == 1 && cleanEnd)
            fuzzFail("a report and a clean end for the same document");
        if (reportCount == 0 && !cleanEnd)
            fuzzFail("neither a report nor a clean end");
        if (reportCount == 1 && !lastReport.startsWith(QStringLiteral("\nFile : fuzz.xml\n")))
            fuzzFail("report does not name the file");
    }

protected:
    // The automaton never leaves its table, whatever the input.
    bool checked(bool ok) const
    {
        const int states =
            this->tabTag.isEmpty() ? 0 : int(this->automate.size() / this->tabTag.size());
        if (this->etatCourant < 0 || this->etatCourant >= states)
            fuzzFail("automaton state out of range");
        return ok;
    }
    bool startElement(const QString &name) override { return checked(P::startElement(name)); }
    bool endElement(const QString &name) override { return checked(P::endElement(name)); }
    bool endDocument() override
    {
        if (cleanEnd)
            fuzzFail("document ended twice");
        cleanEnd = true;
        return P::endDocument();
    }

private:
    int signalCount = 0, reportCount = 0, signalsAfterStop = 0;
    int stopAfter = -1; // ask for a stop after this many signals; -1 never
    bool cleanEnd = false;
    QString lastReport;
};

#endif
