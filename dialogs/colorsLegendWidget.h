#ifndef COLORSLEGENDWIDGET_H
#define COLORSLEGENDWIDGET_H

#include "core/configEvent.h"

#include <QSize>
#include <QString>
#include <QWidget>

#include <map>

class QScrollArea;

// Paints one swatch and name per configured event, in name order. It only ever grows, and
// switches the scroll bars of its scroll area on when the list stops fitting.
class ColorsLegendWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int initialWidth = 200;
    static constexpr int initialHeight = 155;
    static constexpr int rightMargin = 4;
    static constexpr int bottomMargin = 4;
    static constexpr int swatchSize = 20;
    static constexpr int textOffset = 15;
    static constexpr int textGap = 5;
    static constexpr int rowGap = 5;
    static constexpr int leftMargin = 10;
    static constexpr int topMargin = 5;
    static constexpr int pixelsPerCharacter = 7;

    // The widget puts itself into scrollView (which may be null for a bare widget).
    explicit ColorsLegendWidget(QScrollArea *scrollView = nullptr, const QString &name = QString());

    void setTabConfig(const std::map<QString, ConfigEvent> &tabConfig);
    const std::map<QString, ConfigEvent> &getTabConfig() const { return tabConfig; }

    // Size the list of eventCount events whose longest name has longestName characters needs.
    static QSize neededSize(int eventCount, int longestName);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void grow();

    std::map<QString, ConfigEvent> tabConfig;
    QScrollArea *scrollView = nullptr;
    int width = initialWidth;
    int height = initialHeight;
};

#endif
