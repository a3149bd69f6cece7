#ifndef PARSERPROBE_H
#define PARSERPROBE_H

// Shared by the parser fuzz targets: drives one parser over an in-memory document and checks
// the parser's own promises rather than mere survival. Any broken promise aborts, which the
// fuzzer records as a crash and the replay test reports as a failure.

#include "parsers/parser.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline void fuzzCheck(bool kept, const char *what)
{
    if (kept)
        return;
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
        const int stopAfter = data[0] == 0 ? -1 : data[0] % 16; // -1: never
        const auto count = [this, stopAfter](const auto &...) {
            signalsAfterStop += this->isStopRequested();
            if (++signalCount >= stopAfter && stopAfter >= 0 && !this->isStopRequested())
                this->requestStop();
        };
        QObject::connect(this, &Parser::errorInParse,
                         [this](const QString &text) { reports << text; });
        QObject::connect(this, &Parser::errorInParse, count);
        QObject::connect(this, &Parser::endOfParse, count);
        (QObject::connect(this, parserSignals, count), ...);
        this->parseData(QByteArray(reinterpret_cast<const char *>(data + 1), int(size - 1)),
                        QStringLiteral("fuzz.xml"));

        fuzzCheck(signalsAfterStop == 0, "signal emitted after the stop");
        if (this->isStopRequested())
            return;
        // Exactly one of a report naming the file and a clean end.
        fuzzCheck(reports.size() + cleanEnd == 1, "not one report or one clean end");
        fuzzCheck(reports.isEmpty() || reports[0].startsWith(QStringLiteral("\nFile : fuzz.xml\n")),
                  "report does not name the file");
    }

protected:
    // The automaton never leaves its table, whatever the input.
    bool checked(bool ok) const
    {
        const int states =
            this->tabTag.isEmpty() ? 0 : int(this->automate.size() / this->tabTag.size());
        fuzzCheck(this->etatCourant >= 0 && this->etatCourant < states,
                  "automaton state out of range");
        return ok;
    }
    bool startElement(const QString &name) override { return checked(P::startElement(name)); }
    bool endElement(const QString &name) override { return checked(P::endElement(name)); }
    bool endDocument() override
    {
        fuzzCheck(!cleanEnd, "document ended twice");
        cleanEnd = true;
        return P::endDocument();
    }

private:
    int signalCount = 0, signalsAfterStop = 0;
    bool cleanEnd = false;
    QStringList reports;
};

#endif
