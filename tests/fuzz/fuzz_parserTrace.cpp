#include "parserProbe.h"
#include "parsers/parserTrace.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ParserProbe<ParserTrace>().run(data, size, &ParserTrace::addCycleTrace,
                                   &ParserTrace::newEventTrace, &ParserTrace::pcTrace,
                                   &ParserTrace::addEventTrace);
    return 0;
}
