#ifndef POPUPINFO_H
#define POPUPINFO_H

#include <QRect>
#include <QString>
#include <QWidget>

class QLabel;

// The lavender box a trace view shows beside the pointer while a mouse button is held on a
// block. A child of the view's drawing surface, not a window.
class PopupInfo : public QWidget
{
    Q_OBJECT

public:
    PopupInfo(QWidget *parent, const char *name = nullptr);

    // Shows `text` beside (x, y) of the parent surface; only the size of `r`, the surface's
    // geometry, is used, to keep the popup inside it.
    void showIt(int x, int y, const QString &text, const QRect &r);
    void adjustSizeToText(const QString &text);
    QString text() const;

private:
    QLabel *label;
};

#endif
