#include "parserProbe.h"
#include "parsers/parserZoom.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ParserProbe<ParserZoom> probe;
    QObject::connect(&probe, &Parser::errorInParse, [&](const QString &t) { probe.onReport(t); });
    QObject::connect(&probe, &Parser::endOfParse, [&] { probe.onSignal(); });
    QObject::connect(&probe, &ParserZoom::addCycleZoom, [&](int) { probe.onSignal(); });
    QObject::connect(&probe, &ParserZoom::newEventZoom, [&](const QString &) { probe.onSignal(); });
    QObject::connect(&probe, &ParserZoom::setNbEventZoom,
                     [&](const QString &, int) { probe.onSignal(); });
    QObject::connect(&probe, &ParserZoom::addEventZoom, [&] { probe.onSignal(); });
    runProbe(probe, data, size);
    return 0;
}
