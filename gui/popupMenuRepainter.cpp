#include "gui/popupMenuRepainter.h"

PopupMenuRepainter::PopupMenuRepainter(const QString &title, QWidget *parent, const char *name)
    : QMenu(title, parent)
{
    setObjectName(QString::fromLatin1(name));
}

void PopupMenuRepainter::hideEvent(QHideEvent *e)
{
    QMenu::hideEvent(e);
    emit popupMenuClosed();
}
