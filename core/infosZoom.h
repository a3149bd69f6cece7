#ifndef INFOSZOOM_H
#define INFOSZOOM_H

// The block geometry of one zoom level.
class InfosZoom
{
public:
    InfosZoom() = default;
    InfosZoom(const int &nbBlockHorizontalToPaint, const int &nbBlockVerticalToPaint,
              const int &largeurBlock, const int &hauteurBlock);

    int getNbBlockHorizontalToPaint() const { return nbBlockHorizontalToPaint; }
    int getNbBlockVerticalToPaint() const { return nbBlockVerticalToPaint; }
    int getLargeurBlock() const { return largeurBlock; }
    int getHauteurBlock() const { return hauteurBlock; }

private:
    int nbBlockHorizontalToPaint = 0;
    int nbBlockVerticalToPaint = 0;
    int largeurBlock = 0;
    int hauteurBlock = 0;
};

#endif
