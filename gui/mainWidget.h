#ifndef MAINWIDGET_H
#define MAINWIDGET_H

#include <QWidget>

// Central widget of the main window; parent of the two trace views and the assembly table,
// which the main window places by hand.
class MainWidget : public QWidget
{
    Q_OBJECT

public:
    explicit MainWidget(QWidget *parent, const char *name = nullptr);

    // Repaints every child widget at once; called whenever something (a menu, a dialog, a
    // popup) has covered part of them.
    void repaintAll();
};

#endif
