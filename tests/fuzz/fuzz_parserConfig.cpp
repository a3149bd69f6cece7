#include "core/config.h"
#include "parserProbe.h"
#include "parsers/parserConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ParserProbe<ParserConfig> probe;
    QObject::connect(&probe, &Parser::errorInParse, [&](const QString &t) { probe.onReport(t); });
    QObject::connect(&probe, &Parser::endOfParse, [&] { probe.onSignal(); });
    runProbe(probe, data, size);

    // Positions are ranks in the file: each one below the number of events, none repeated.
    if (Config *config = probe.getConfig()) {
        const auto &tab = config->getTabConfig();
        std::vector<bool> seen(tab.size(), false);
        for (const auto &entry : tab) {
            const int position = entry.second.getPosition();
            if (position < 0 || position >= int(tab.size()) || seen[size_t(position)])
                fuzzFail("event positions are not the ranks 0..n-1");
            seen[size_t(position)] = true;
        }
    }
    return 0;
}
