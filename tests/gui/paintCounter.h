#ifndef PAINTCOUNTER_H
#define PAINTCOUNTER_H

#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QRect>

#include <functional>

// Counts the paint events a widget receives, optionally only those that reach into `area`
// (a scroll bar repainting itself also repaints its parent underneath it).
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QObject *watched, const QRect &area = QRect())
        : QObject(watched), area(area)
    {
        watched->installEventFilter(this);
    }
    int count = 0;
    std::function<void()> onPaint; // called before each counted paint

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint &&
            (area.isNull() || static_cast<QPaintEvent *>(e)->rect().intersects(area))) {
            if (onPaint)
                onPaint();
            ++count;
        }
        return false;
    }

private:
    QRect area;
};

#endif
