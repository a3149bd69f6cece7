#ifndef PAINTCOUNTER_H
#define PAINTCOUNTER_H

#include <QPaintEvent>

#include <functional>

// Counts the paint events of a widget that reach into `area` (all when null): a scroll bar
// repainting itself repaints its parent beneath it too. `onPaint` runs before each one.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QObject *watched, const QRect &area = QRect())
        : QObject(watched), area(area)
    {
        watched->installEventFilter(this);
    }
    int count = 0;
    std::function<void()> onPaint;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::Paint ||
            !(area.isNull() || static_cast<QPaintEvent *>(e)->rect().intersects(area)))
            return false;
        if (onPaint)
            onPaint();
        ++count;
        return false;
    }

private:
    QRect area;
};

#endif
