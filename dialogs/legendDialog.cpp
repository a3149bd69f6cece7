#include "dialogs/legendDialog.h"

#include "dialogs/colorsLegendWidget.h"

#include <QDialogButtonBox>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

LegendDialog::LegendDialog(QWidget *parent, const QString &name, bool modal, Qt::WindowFlags flags)
    : QDialog(parent, flags)
{
    setObjectName(name);
    setModal(modal);
    setWindowTitle(name);

    tabs = new QTabWidget(this);
    scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("legendScrollView"));
    scroll->setFixedSize(scrollViewWidth, scrollViewHeight);
    colorsLegend = new ColorsLegendWidget(scroll, QStringLiteral("colorsLegend"));
    colorsLegend->move(0, 0);
    tabs->addTab(scroll, QStringLiteral("Events' Colors"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    // The page is exactly 200 x 155; the dialog takes that plus its tab bar and OK button, as
    // 200 x 155 overall would hide part of the page or the button. It is fixed now, while the
    // legend is small: the tab widget would otherwise follow the legend as it grows.
    setFixedSize(sizeHint().expandedTo(QSize(dialogWidth, dialogHeight)));
}

void LegendDialog::setTabConfig(const std::map<QString, ConfigEvent> &tabConfig)
{
    colorsLegend->setTabConfig(tabConfig);
}
