#include "core/config.h"
#include "parserProbe.h"
#include "parsers/parserConfig.h"

#include <set>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
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
    return 0;
}
