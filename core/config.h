#ifndef CONFIG_H
#define CONFIG_H

#include "core/configEvent.h"

#include <QString>

#include <map>

// The configured events by name. QString's operator< compares UTF-16 code units, so the
// order is by character code and case-sensitive: "Zed" sorts before "alpha".
class Config
{
public:
    typedef std::map<QString, ConfigEvent> TabConfig;

    TabConfig &getTabConfig() { return tabConfig; }
    const TabConfig &getTabConfig() const { return tabConfig; }
    void setTabConfig(const TabConfig &tabConfig);

    // The first entry of a name wins: a later duplicate leaves the map unchanged.
    void addConfigEvent(const QString &name, const ConfigEvent &event);

private:
    TabConfig tabConfig;
};

#endif
