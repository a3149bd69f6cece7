#include "core/infosZoom.h"

InfosZoom::InfosZoom(const int &nbBlockHorizontalToPaint, const int &nbBlockVerticalToPaint,
                     const int &largeurBlock, const int &hauteurBlock)
    : nbBlockHorizontalToPaint(nbBlockHorizontalToPaint),
      nbBlockVerticalToPaint(nbBlockVerticalToPaint), largeurBlock(largeurBlock),
      hauteurBlock(hauteurBlock)
{}
