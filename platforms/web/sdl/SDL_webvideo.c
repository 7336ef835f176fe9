/* SDL 1.2's video driver for the browser, in the slot of SDL's "dummy" driver (which it
   replaces in the build). The screen is a plain 32-bit software surface, exactly as the dummy
   driver makes it, so that SDL's own code draws every frame the same as on the desktop; an
   update copies it onto the page's canvas (Module.canvas). Keys come from the canvas while it
   has the keyboard focus, turned into SDL 1.2 key symbols. */
#include "SDL_config.h"

#include <emscripten.h>

#include "SDL_video.h"
#include "SDL_sysvideo.h"
#include "SDL_pixels_c.h"
#include "SDL_events_c.h"

/* The device every driver function is handed (SDL_sysvideo.h leaves it to each driver). */
#define _THIS SDL_VideoDevice *_this

struct SDL_PrivateVideoData {
	Uint32 *pixels; /* the screen surface's pixels, 0x00RRGGBB */
	Uint32 *rgba;   /* the same pixels in the canvas's byte order, R, G, B, A */
};

/* Each key press or release on the canvas is queued as down * 0x10000 + SDL key symbol, until
   the game's next event pump reads it. A key the game may use is kept from the page, so that
   the arrows and Space do not scroll it and Tab does not move the focus; with Ctrl, Alt or
   Meta held the browser still gets it (reload, close). A held key's repeats are dropped, as
   SDL 1.2 drops them unless asked for them. */
EM_JS(void, web_listen_keys, (void), {
	var named = {
		Backspace: 8, Tab: 9, Enter: 13, Pause: 19, Escape: 27, Delete: 127, ArrowUp: 273,
		ArrowDown: 274, ArrowRight: 275, ArrowLeft: 276, Insert: 277, Home: 278, End: 279,
		PageUp: 280, PageDown: 281, Shift: 304, Control: 306, Alt: 308
	};
	function symbol(event) {
		if (event.key.length === 1 && event.key.charCodeAt(0) < 128) {
			return event.key.toLowerCase().charCodeAt(0);
		}
		var sym = named[event.key] || 0;
		/* The right-hand modifier is one below the left-hand one. */
		return sym >= 304 && event.location === 2 ? sym - 1 : sym;
	}
	var queue = [];
	function listener(down) {
		return function(event) {
			var sym = symbol(event);
			if (sym === 0) return;
			if (!(event.ctrlKey || event.altKey || event.metaKey)) event.preventDefault();
			if (!event.repeat) queue.push(down * 0x10000 + sym);
		};
	}
	Module.webKeys = {queue: queue, down: listener(1), up: listener(0)};
	Module.canvas.addEventListener("keydown", Module.webKeys.down);
	Module.canvas.addEventListener("keyup", Module.webKeys.up);
});

EM_JS(int, web_next_key, (void), {
	return Module.webKeys.queue.length ? Module.webKeys.queue.shift() : -1;
});

EM_JS(void, web_stop_listening, (void), {
	Module.canvas.removeEventListener("keydown", Module.webKeys.down);
	Module.canvas.removeEventListener("keyup", Module.webKeys.up);
});

/* The canvas's image is a view of the pixels in the module's memory, made once and again only
   when the screen or that memory (which may grow) moves. */
EM_JS(void, web_show, (const Uint32 *rgba, int width, int height), {
	var shown = Module.webShown;
	if (!shown || shown.at !== rgba || shown.image.width !== width ||
	    shown.image.data.buffer !== HEAPU8.buffer) {
		var bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
		shown = Module.webShown = {at: rgba, image: new ImageData(bytes, width, height),
		                           context: Module.canvas.getContext("2d")};
	}
	shown.context.putImageData(shown.image, 0, 0);
});

static int WEB_VideoInit(_THIS, SDL_PixelFormat *vformat)
{
	vformat->BitsPerPixel = 32;
	vformat->BytesPerPixel = 4;
	web_listen_keys();
	return 0;
}

static SDL_Rect **WEB_ListModes(_THIS, SDL_PixelFormat *format, Uint32 flags)
{
	return (SDL_Rect **)-1; /* any size */
}

static void WEB_FreeBuffers(_THIS)
{
	SDL_free(_this->hidden->pixels);
	SDL_free(_this->hidden->rgba);
	_this->hidden->pixels = NULL;
	_this->hidden->rgba = NULL;
}

/* Any size, always 32 bits in SDL's default 32-bit format; SDL converts other depths. */
static SDL_Surface *WEB_SetVideoMode(_THIS, SDL_Surface *current, int width, int height,
                                     int bpp, Uint32 flags)
{
	const size_t count = (size_t)width * (size_t)height;
	WEB_FreeBuffers(_this);
	_this->hidden->pixels = SDL_calloc(count, 4);
	_this->hidden->rgba = SDL_malloc(count * 4);
	if (_this->hidden->pixels == NULL || _this->hidden->rgba == NULL ||
	    !SDL_ReallocFormat(current, 32, 0, 0, 0, 0)) {
		WEB_FreeBuffers(_this);
		SDL_SetError("Couldn't allocate the %dx%d screen", width, height);
		return NULL;
	}
	current->flags = flags & SDL_FULLSCREEN;
	current->w = width;
	current->h = height;
	current->pitch = width * 4;
	current->pixels = _this->hidden->pixels;
	EM_ASM({ Module.canvas.width = $0; Module.canvas.height = $1; }, width, height);
	return current;
}

static int WEB_SetColors(_THIS, int firstcolor, int ncolors, SDL_Color *colors)
{
	return 1;
}

/* Shows the whole screen, whichever part changed: the game updates it all every frame. Before
   the video mode is set (SDL's start updates its empty screen) there is nothing to show. */
static void WEB_UpdateRects(_THIS, int numrects, SDL_Rect *rects)
{
	const SDL_Surface *screen = _this->screen;
	const int count = screen->w * screen->h;
	const Uint32 *from = _this->hidden->pixels;
	Uint32 *to = _this->hidden->rgba;
	int i;
	if (from == NULL || count == 0) {
		return;
	}
	for (i = 0; i < count; ++i) {
		const Uint32 pixel = from[i];
		to[i] = 0xFF000000u | (pixel & 0x0000FF00u) | (pixel >> 16 & 0xFFu) |
		        (pixel & 0xFFu) << 16;
	}
	web_show(to, screen->w, screen->h);
}

static void WEB_PumpEvents(_THIS)
{
	int key;
	while ((key = web_next_key()) >= 0) {
		SDL_keysym keysym;
		SDL_memset(&keysym, 0, sizeof keysym);
		keysym.sym = (SDLKey)(key & 0xFFFF);
		SDL_PrivateKeyboard(key >> 16 ? SDL_PRESSED : SDL_RELEASED, &keysym);
	}
}

static void WEB_InitOSKeymap(_THIS)
{
}

static void WEB_VideoQuit(_THIS)
{
	web_stop_listening();
	if (_this->screen != NULL) {
		_this->screen->pixels = NULL;
	}
	WEB_FreeBuffers(_this);
}

static int WEB_Available(void)
{
	return 1;
}

static void WEB_DeleteDevice(SDL_VideoDevice *device)
{
	SDL_free(device->hidden);
	SDL_free(device);
}

static SDL_VideoDevice *WEB_CreateDevice(int devindex)
{
	SDL_VideoDevice *device = SDL_calloc(1, sizeof *device);
	if (device != NULL) {
		device->hidden = SDL_calloc(1, sizeof *device->hidden);
	}
	if (device == NULL || device->hidden == NULL) {
		SDL_OutOfMemory();
		SDL_free(device);
		return NULL;
	}
	device->VideoInit = WEB_VideoInit;
	device->ListModes = WEB_ListModes;
	device->SetVideoMode = WEB_SetVideoMode;
	device->SetColors = WEB_SetColors;
	device->UpdateRects = WEB_UpdateRects;
	device->VideoQuit = WEB_VideoQuit;
	device->InitOSKeymap = WEB_InitOSKeymap;
	device->PumpEvents = WEB_PumpEvents;
	device->free = WEB_DeleteDevice;
	return device;
}

VideoBootStrap DUMMY_bootstrap = {
	"web", "the page's canvas", WEB_Available, WEB_CreateDevice
};
