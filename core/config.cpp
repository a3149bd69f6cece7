#include "core/config.h"

void Config::setTabConfig(const TabConfig &tabConfig)
{
    this->tabConfig = tabConfig;
}

void Config::addConfigEvent(const QString &name, const ConfigEvent &event)
{
    tabConfig.emplace(name, event);
}
