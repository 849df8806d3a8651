#include "InfoBox.h"

BoxOrigin PlaceNearCursor(int cursorX, int cursorY, BoxOrigin systemDefault) {
    const int left = cursorX - 100;
    const int top = cursorY - 50;
    return {left >= 0 ? left : systemDefault.left, top >= 0 ? top : systemDefault.top};
}
