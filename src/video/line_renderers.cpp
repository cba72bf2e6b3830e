#include "video/line_renderers.h"

#include "video/frame_driver.h"

u16 priorityLayer[4] = {31, 31, 31, 31};

// The background and bitmap renderers are not built yet: a line is left as it was and the
// cursor moves on, so the frame driver's line bookkeeping already holds.
void renderTileLine() { lineCursor += renderWidth; }

void renderBitmapLine() { lineCursor += renderWidth; }
