#include "core/couleur.h"

Couleur::Couleur()
{
    initCouleur();
    initStyle();
}

QBrush Couleur::brush(int k) const
{
    if (k < 0)
        return QBrush();
    return QBrush(tabCouleur[k % nbCouleurs], tabStyle[(k / nbCouleurs) % nbStyles]);
}

void Couleur::initCouleur()
{
    // Magenta appears twice (4 and 16); both are kept so that the numbering of the later
    // colours stays as users know it from the legend.
    tabCouleur = {
        QColor(Qt::blue),      QColor(Qt::red),       QColor(Qt::green),    QColor(Qt::cyan),
        QColor(Qt::magenta),   QColor(Qt::yellow),    QColor(Qt::gray),     QColor(Qt::white),
        QColor(Qt::black),     QColor(47, 79, 79),    QColor(128, 0, 0),    QColor(105, 105, 105),
        QColor(255, 215, 0),   QColor(165, 42, 42),   QColor(0, 191, 255),  QColor(34, 139, 34),
        QColor(255, 0, 255),   QColor(0, 0, 139),     QColor(124, 252, 0),  QColor(0, 139, 139),
        QColor(0, 250, 154),   QColor(148, 0, 211),   QColor(70, 130, 180), QColor(85, 107, 47),
        QColor(240, 230, 140), QColor(143, 188, 143),
    };
    Q_ASSERT(int(tabCouleur.size()) == nbCouleurs);
}

void Couleur::initStyle()
{
    tabStyle.clear();
    for (int style = Qt::SolidPattern; style <= Qt::DiagCrossPattern; ++style)
        tabStyle.push_back(Qt::BrushStyle(style));
    Q_ASSERT(int(tabStyle.size()) == nbStyles);
}
