// Where the program's own information boxes stand: near the mouse cursor, so the user finds
// the answer where the files were dropped.
#pragma once

struct BoxOrigin {
    int left;
    int top;
};

// Left edge at the cursor's x − 100, top edge at its y − 50; a coordinate that would come
// out negative is not applied and keeps the system's default (centred) in that direction.
BoxOrigin PlaceNearCursor(int cursorX, int cursorY, BoxOrigin systemDefault);
