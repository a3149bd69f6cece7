#ifndef COULEUR_H
#define COULEUR_H

#include <QBrush>
#include <QColor>

#include <vector>

// The fixed palette the controller draws the events' brushes from: 26 colours and 14 fill
// patterns. Brush k has colour k mod 26 and pattern (k div 26) mod 14, so the colour runs
// fastest and, past the 364 distinct brushes, the sequence starts over.
class Couleur
{
public:
    typedef std::vector<QColor> TabCouleur;
    typedef std::vector<Qt::BrushStyle> TabStyle;

    static constexpr int nbCouleurs = 26;
    static constexpr int nbStyles = 14;

    Couleur();

    TabCouleur getTabCouleur() const { return tabCouleur; }
    TabStyle getTabStyle() const { return tabStyle; }

    // The brush of the k-th event (from 0) in name order; a negative k gives the empty
    // brush (Qt::NoBrush), like an event that has none.
    QBrush brush(int k) const;

private:
    void initCouleur();
    void initStyle();

    TabCouleur tabCouleur;
    TabStyle tabStyle;
};

#endif
