#include "parserProbe.h"
#include "parsers/parserAsm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ParserProbe<ParserAsm>().run(data, size, &ParserAsm::pc, &ParserAsm::mnemonic,
                                 &ParserAsm::nbValues, &ParserAsm::value);
    return 0;
}
