#include "parserProbe.h"
#include "parsers/parserZoom.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ParserProbe<ParserZoom>().run(data, size, &ParserZoom::addCycleZoom, &ParserZoom::newEventZoom,
                                  &ParserZoom::setNbEventZoom, &ParserZoom::addEventZoom);
    return 0;
}
