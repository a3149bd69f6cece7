#include "parserProbe.h"
#include "parsers/parserAsm.h"
#include "parsers/parserTrace.h"
#include "parsers/parserZoom.h"

// The trace, zoom and listing parsers, one fuzz target each: the build says which.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
#if defined(FUZZ_TARGET_fuzz_parserTrace)
    ParserProbe<ParserTrace>().run(data, size, &ParserTrace::addCycleTrace,
                                   &ParserTrace::newEventTrace, &ParserTrace::pcTrace,
                                   &ParserTrace::addEventTrace);
#elif defined(FUZZ_TARGET_fuzz_parserZoom)
    ParserProbe<ParserZoom>().run(data, size, &ParserZoom::addCycleZoom, &ParserZoom::newEventZoom,
                                  &ParserZoom::setNbEventZoom, &ParserZoom::addEventZoom);
#else
    ParserProbe<ParserAsm>().run(data, size, &ParserAsm::pc, &ParserAsm::mnemonic,
                                 &ParserAsm::nbValues, &ParserAsm::value);
#endif
    return 0;
}
