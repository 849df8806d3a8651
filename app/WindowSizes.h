// The main window's outer sizes (frame and caption bar included). They are given for 96 dpi
// and follow the screen's density like the controls, so that at every density the window
// shows the same controls, in proportion, and keeps the working tables out of view.
#pragma once

inline constexpr int kDesignDpi = 96;

// designPixels * dpi / 96 to the nearest pixel, halves away from zero: what MulDiv gives,
// so the window and its controls are scaled alike.
int ScaleForDpi(int designPixels, int dpi);

struct OuterSizes {
    int width;          // set once at start-up
    int compactHeight;  // at start-up and after the layout table is cleared
    int surveyHeight;   // during a layout survey: the layout tree comes into view
};

OuterSizes OuterSizesForDpi(int dpi);
