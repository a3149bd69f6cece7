#ifndef POPUPMENUREPAINTER_H
#define POPUPMENUREPAINTER_H

#include <QMenu>

// A menu that tells when it has been hidden, whatever closed it (an item, Escape, a click
// elsewhere), so that the main window can repaint what it covered.
class PopupMenuRepainter : public QMenu
{
    Q_OBJECT

public:
    PopupMenuRepainter(const QString &title, QWidget *parent, const char *name = nullptr);

signals:
    void popupMenuClosed();

protected:
    void hideEvent(QHideEvent *e) override;
};

#endif
