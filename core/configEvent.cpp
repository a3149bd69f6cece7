#include "core/configEvent.h"

ConfigEvent::ConfigEvent() : position(-1) {}

ConfigEvent::ConfigEvent(const int &position) : position(position) {}

void ConfigEvent::setBrush(const QBrush &brush)
{
    this->brush = brush;
}
