#include "parserProbe.h"
#include "parsers/parserTrace.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ParserProbe<ParserTrace> probe;
    QObject::connect(&probe, &Parser::errorInParse, [&](const QString &t) { probe.onReport(t); });
    QObject::connect(&probe, &Parser::endOfParse, [&] { probe.onSignal(); });
    QObject::connect(&probe, &ParserTrace::addCycleTrace, [&](int) { probe.onSignal(); });
    QObject::connect(&probe, &ParserTrace::newEventTrace, [&](const QString &) { probe.onSignal(); });
    QObject::connect(&probe, &ParserTrace::pcTrace, [&](int) { probe.onSignal(); });
    QObject::connect(&probe, &ParserTrace::addEventTrace, [&] { probe.onSignal(); });
    runProbe(probe, data, size);
    return 0;
}
