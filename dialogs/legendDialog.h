#ifndef LEGENDDIALOG_H
#define LEGENDDIALOG_H

#include "core/configEvent.h"

#include <QDialog>
#include <QString>

#include <map>

class ColorsLegendWidget;
class QScrollArea;
class QTabWidget;

// Small modeless dialog with one page, "Events' Colors", listing every event's swatch.
class LegendDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int dialogWidth = 200;
    static constexpr int dialogHeight = 155;
    static constexpr int scrollViewWidth = 200;
    static constexpr int scrollViewHeight = 155;

    explicit LegendDialog(QWidget *parent = nullptr, const QString &name = QString(),
                          bool modal = false, Qt::WindowFlags flags = {});

    void setTabConfig(const std::map<QString, ConfigEvent> &tabConfig);

    ColorsLegendWidget *legendWidget() const { return colorsLegend; }
    QScrollArea *scrollView() const { return scroll; }

private:
    QTabWidget *tabs = nullptr;
    QScrollArea *scroll = nullptr;
    ColorsLegendWidget *colorsLegend = nullptr;
};

#endif
