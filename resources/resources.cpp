// Anchor translation unit: the images themselves are added by qt_add_resources.
namespace zelvar {
int resourcesAnchor = 0;
}
