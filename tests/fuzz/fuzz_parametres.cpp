#include "controller/parametres.h"
#include "parserProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), int(size));
    const Parametres read = Parametres::fromText(text);
    // The two counts that divide the file numbers; the total divides nothing.
    fuzzCheck(read.nbCycleParTrace > 0 && read.nbPcParAsm > 0,
              "a count of cycles or pcs per file that is not positive was accepted");
    // Whatever was read must come back unchanged from the file the viewer writes.
    fuzzCheck(Parametres::fromText(read.toText()) == read,
              "parameters do not survive a save and a reload");
    return 0;
}
