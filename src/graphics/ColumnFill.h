// Many vertical lines at once: the land is one per screen column, every frame. Drawn line by
// line, each pixel would land in a different cache line; filled here strip by strip, the
// stores run along memory and most rows are whole runs of one colour.
#ifndef TUMULT2D_GRAPHICS_COLUMNFILL_H_
#define TUMULT2D_GRAPHICS_COLUMNFILL_H_

#include <cstdint>

#include "graphics/LineAndRect.h"

// The rows one column covers, Top to Bottom inclusive; none when Top > Bottom.
struct TColumnSpan {
  int32_t Top;
  int32_t Bottom;
};

// Sets, in every column x from 0 to Count - 1, the rows Spans[x].Top to Spans[x].Bottom to
// Color: the same pixels as one vertical SDL_DrawLine per column, written in another order.
// Only pixels on the surface are written; a null surface or Spans draws nothing.
void FillColumnSpans(PSDL_Surface Surface, const TColumnSpan* Spans, int32_t Count, uint32_t Color);

#endif  // TUMULT2D_GRAPHICS_COLUMNFILL_H_
