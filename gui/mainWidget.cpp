#include "gui/mainWidget.h"

#include <QAbstractScrollArea>

MainWidget::MainWidget(QWidget *parent, const char *name) : QWidget(parent)
{
    setObjectName(QString::fromLatin1(name));
}

void MainWidget::repaintAll()
{
    const auto widgets = findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *child : widgets) {
        child->repaint();
        // Repainting a widget does not repaint its children: the table's cells are drawn by
        // its viewport.
        if (auto *area = qobject_cast<QAbstractScrollArea *>(child))
            area->viewport()->repaint();
    }
}
