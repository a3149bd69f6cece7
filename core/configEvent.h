#ifndef CONFIGEVENT_H
#define CONFIGEVENT_H

#include <QBrush>

// One configured kind of event: the row it occupies in the views and the brush of its blocks.
class ConfigEvent
{
public:
    // Position -1 marks an event the configuration does not declare; its empty brush paints
    // nothing.
    ConfigEvent();
    explicit ConfigEvent(const int &position);

    int getPosition() const { return position; }
    QBrush getBrush() const { return brush; }
    void setBrush(const QBrush &brush);

private:
    int position;
    QBrush brush;
};

#endif
