#include "gui/mainWidget.h"

MainWidget::MainWidget(QWidget *parent, const char *name) : QWidget(parent)
{
    setObjectName(QString::fromLatin1(name));
}

void MainWidget::repaintAll()
{
    const auto widgets = findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *child : widgets)
        child->repaint();
}
