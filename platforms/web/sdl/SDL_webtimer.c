/* SDL 1.2's clock and pause for the browser. The page's own clock gives the ticks, and the
   pause hands control back to the browser for its length (Emscripten's ASYNCIFY unwinds the
   game's stack and rewinds it afterwards), so that the page keeps drawing and taking keys
   while the game waits for its next frame. */
#include "SDL_config.h"

#include <emscripten.h>

#include "SDL_timer.h"

/* Milliseconds since the page began to load. */
Uint32 SDL_GetTicks(void)
{
	return (Uint32)emscripten_get_now();
}

void SDL_Delay(Uint32 ms)
{
	emscripten_sleep(ms);
}
