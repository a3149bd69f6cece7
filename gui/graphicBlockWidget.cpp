#include "gui/graphicBlockWidget.h"

#include <QMouseEvent>

GraphicBlockWidget::GraphicBlockWidget(QWidget *parent, const char *name) : QWidget(parent)
{
    setObjectName(QString::fromLatin1(name));
}

void GraphicBlockWidget::mousePressEvent(QMouseEvent *e)
{
    emit mousePressedSignal(e);
}

void GraphicBlockWidget::mouseReleaseEvent(QMouseEvent *e)
{
    emit mouseReleasedSignal(e);
}
