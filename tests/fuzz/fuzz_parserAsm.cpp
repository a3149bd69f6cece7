#include "parserProbe.h"
#include "parsers/parserAsm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ParserProbe<ParserAsm> probe;
    QObject::connect(&probe, &Parser::errorInParse, [&](const QString &t) { probe.onReport(t); });
    QObject::connect(&probe, &Parser::endOfParse, [&] { probe.onSignal(); });
    QObject::connect(&probe, &ParserAsm::pc, [&](const QString &) { probe.onSignal(); });
    QObject::connect(&probe, &ParserAsm::mnemonic, [&](const QString &) { probe.onSignal(); });
    QObject::connect(&probe, &ParserAsm::nbValues, [&](const QString &) { probe.onSignal(); });
    QObject::connect(&probe, &ParserAsm::value, [&](const QString &) { probe.onSignal(); });
    runProbe(probe, data, size);
    return 0;
}
