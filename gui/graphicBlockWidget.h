#ifndef GRAPHICBLOCKWIDGET_H
#define GRAPHICBLOCKWIDGET_H

#include <QWidget>

#include <QMouseEvent>

// The drawing surface of a trace view. It paints nothing itself (it is transparent, so the
// view's own paint shows through) and hands every mouse press and release to the view; the
// event pointer is valid only during the call.
class GraphicBlockWidget : public QWidget
{
    Q_OBJECT

public:
    explicit GraphicBlockWidget(QWidget *parent, const char *name = nullptr);

signals:
    void mousePressedSignal(QMouseEvent *e);
    void mouseReleasedSignal(QMouseEvent *e);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
};

#endif
