#include "controller/parametres.h"
#include "core/config.h"
#include "parserProbe.h"
#include "parsers/parserAsm.h"
#include "parsers/parserConfig.h"
#include "parsers/parserTrace.h"
#include "parsers/parserZoom.h"

#include <set>

// One fuzz target per parser and one for the parameters reader: the build says which.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
#if defined(FUZZ_TARGET_fuzz_parametres)
    const Parametres read =
        Parametres::fromText(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    // The two counts that divide the file numbers; the total divides nothing.
    fuzzCheck(read.nbCycleParTrace > 0 && read.nbPcParAsm > 0,
              "a count of cycles or pcs per file that is not positive was accepted");
    // Whatever was read must come back unchanged from the file the viewer writes.
    fuzzCheck(Parametres::fromText(read.toText()) == read,
              "parameters do not survive a save and a reload");
#elif defined(FUZZ_TARGET_fuzz_parserConfig)
    ParserProbe<ParserConfig> probe;
    probe.run(data, size);
    // Positions are ranks in the file: never negative, never shared. A repeated name keeps its
    // first entry but still uses up its rank, so the ranks may have gaps.
    if (Config *config = probe.getConfig()) {
        std::set<int> seen;
        for (const auto &[name, event] : config->getTabConfig())
            fuzzCheck(event.getPosition() >= 0 && seen.insert(event.getPosition()).second,
                      "event positions are not distinct file ranks");
    }
#elif defined(FUZZ_TARGET_fuzz_parserTrace)
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
