#include "graphics/GraphicsUnit.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "graphics/BmpHeaderCheck.h"
#include "graphics/BmpNormalise.h"

namespace {

constexpr Uint32 kColorKeyFlags = SDL_SRCCOLORKEY | SDL_RLEACCEL;

// The value of the top-left pixel in the surface's own format. Reading just that pixel
// (rather than a whole 32-bit word) keeps the read inside the pixel buffer for any image size
// and pixel size.
Uint32 FirstPixel(const SDL_Surface& Image) {
  const auto* const bytes = static_cast<const uint8_t*>(Image.pixels);
  switch (Image.format->BytesPerPixel) {
    case 1:
      return bytes[0];
    case 2: {
      uint16_t value = 0;
      std::memcpy(&value, bytes, sizeof value);
      return value;
    }
    case 3:  // SDL's own order for a 24-bit value on this machine
      return SDL_BYTEORDER == SDL_LIL_ENDIAN
                 ? Uint32{bytes[0]} | Uint32{bytes[1]} << 8 | Uint32{bytes[2]} << 16
                 : Uint32{bytes[2]} | Uint32{bytes[1]} << 8 | Uint32{bytes[0]} << 16;
    default: {
      uint32_t value = 0;
      std::memcpy(&value, bytes, sizeof value);
      return value;
    }
  }
}

// A 32-bit display format without alpha leaves each pixel's fourth byte unused, and SDL's
// conversion may carry a source's fourth byte into it as it is (NormaliseBmp hands it no file
// with that byte set, but a loaded surface is not trusted to be clean). SDL's colour-key match
// compares whole pixel values, so that byte is cleared on every pixel: then two pixels match
// exactly when their colours do.
// REQUIRES: Image's pixels are readable (locked where SDL says they must be).
void ClearUnusedBits(SDL_Surface& Image) {
  const SDL_PixelFormat& format = *Image.format;
  const Uint32 used = format.Rmask | format.Gmask | format.Bmask | format.Amask;
  if (format.BytesPerPixel != 4 || used == 0xFFFFFFFF) {
    return;
  }
  const size_t rowBytes = size_t{4} * static_cast<size_t>(Image.w);
  for (int y = 0; y < Image.h; ++y) {
    uint8_t* const row = static_cast<uint8_t*>(Image.pixels) + ptrdiff_t{y} * Image.pitch;
    for (size_t at = 0; at < rowBytes; at += 4) {
      Uint32 value = 0;
      std::memcpy(&value, row + at, sizeof value);
      value &= used;
      std::memcpy(row + at, &value, sizeof value);
    }
  }
}

// Clears the unused bits of the converted image and, with Transparent set, keys it on its
// top-left pixel.
void FinishConverted(SDL_Surface& Image, bool Transparent) {
  if (Image.w <= 0 || Image.h <= 0) {
    return;  // no pixels, and no first pixel to take the key from
  }
  SDL_Surface* const surface = &Image;  // SDL_MUSTLOCK wants a plain pointer name
  const bool mustLock = SDL_MUSTLOCK(surface);
  if (mustLock && SDL_LockSurface(surface) != 0) {
    return;
  }
  const bool readable = Image.pixels != nullptr;
  if (readable) {
    ClearUnusedBits(Image);
  }
  const Uint32 key = readable ? FirstPixel(Image) : 0;
  if (mustLock) {
    SDL_UnlockSurface(surface);
  }
  if (readable && Transparent) {
    SDL_SetColorKey(surface, kColorKeyFlags, key);
  }
}

struct TFileCloser {
  void operator()(std::FILE* File) const { std::fclose(File); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

// The file at Path opened for reading, or null. Opening does not wait: a named pipe with no
// writer would hold a plain open until one came, and the game would never start.
TFilePtr OpenWithoutWaiting(const std::string& Path) {
#ifdef _WIN32
  return TFilePtr(std::fopen(Path.c_str(), "rb"));
#else
  const int descriptor = open(Path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  TFilePtr file(descriptor < 0 ? nullptr : fdopen(descriptor, "rb"));
  if (descriptor >= 0 && !file) {
    close(descriptor);
  }
  return file;
#endif
}

// Only a regular file has an end to read to: a pipe, a device or a folder is turned down.
bool IsRegularFile(std::FILE* File) {
#ifdef _WIN32
  struct _stat64 status {};
  return _fstat64(_fileno(File), &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFREG;
#else
  struct stat status {};
  return fstat(fileno(File), &status) == 0 && S_ISREG(status.st_mode);
#endif
}

// The whole file, or false with SDL's error set.
bool ReadWholeFile(const std::string& Path, std::vector<uint8_t>& Bytes) {
  const TFilePtr file = OpenWithoutWaiting(Path);
  if (!file) {
    SDL_SetError("Couldn't open %s", Path.c_str());
    return false;
  }
  if (!IsRegularFile(file.get())) {
    SDL_SetError("not a regular file");
    return false;
  }
  long size = -1;
  if (std::fseek(file.get(), 0, SEEK_END) == 0) {
    size = std::ftell(file.get());
  }
  if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
    SDL_SetError("Couldn't read %s", Path.c_str());
    return false;
  }
  if (static_cast<unsigned long>(size) > kMaxBmpFileBytes) {
    SDL_SetError("file is larger than any image the game takes");
    return false;
  }
  Bytes.resize(static_cast<size_t>(size));
  if (std::fread(Bytes.data(), 1, Bytes.size(), file.get()) != Bytes.size()) {
    SDL_SetError("Couldn't read %s", Path.c_str());
    return false;
  }
  return true;
}

}  // namespace

TSurfacePtr LoadImage(const std::string& DataFile, bool Transparent) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(DataFile, bytes)) {
    return nullptr;
  }
  return LoadImageFromBytes(bytes.data(), bytes.size(), Transparent);
}

TSurfacePtr LoadImageFromBytes(const uint8_t* Bytes, size_t Size, bool Transparent) {
  TBmpLayout layout;
  if (const char* problem = BmpHeaderProblem(Bytes, Size, &layout)) {
    SDL_SetError("%s", problem);
    return nullptr;
  }
  std::vector<uint8_t> normalised;
  if (NormaliseBmp(Bytes, layout, normalised)) {
    Bytes = normalised.data();
    Size = normalised.size();
  }
  SDL_RWops* const source = SDL_RWFromConstMem(Bytes, static_cast<int>(Size));
  const TSurfacePtr loaded(SDL_LoadBMP_RW(source, 1));
  if (!loaded) {
    return nullptr;
  }
  // The key is taken after the conversion, from the converted first pixel: then it is exactly
  // the value that every converted pixel of that colour has, at any depth of the file and on
  // either SDL 1.2 line (SDL widens a key colour set before the conversion its own way).
  TSurfacePtr converted(SDL_DisplayFormat(loaded.get()));
  if (converted) {
    FinishConverted(*converted, Transparent);
  }
  return converted;
}

void UnloadImage(TSurfacePtr Image) {
  Image.reset();
}

bool OnScreen(PSDL_Surface GameScreen, int32_t X, int32_t Y, int32_t ScreenX, int32_t ScreenY) {
  if (GameScreen == nullptr) {
    return false;
  }
  // 64-bit sums, so that a window near the edge of the 32-bit range cannot wrap.
  const bool inColumns = ScreenX <= X && int64_t{X} < int64_t{ScreenX} + GameScreen->w;
  const bool inRows = ScreenY <= Y && int64_t{Y} < int64_t{ScreenY} + GameScreen->h;
  return inColumns && inRows;
}

void DrawTile(PSDL_Surface GameScreen, int32_t X, int32_t Y, int32_t TileIndex, int32_t TileSize,
              PSDL_Surface TileSet) {
  if (GameScreen == nullptr || TileSet == nullptr) {
    return;
  }
  const int64_t size = TileSize;
  if (X >= GameScreen->w || X <= -size || Y >= GameScreen->h || Y <= -size) {
    return;
  }
  // The tile's left edge is formed in 32 bits (wrapping, not overflowing) before the rectangle
  // keeps its low 16 bits.
  const auto left =
      static_cast<int32_t>(static_cast<uint32_t>(TileIndex) * static_cast<uint32_t>(TileSize));
  TSDL_Rect source = SDLRect(left, 0, TileSize, TileSize);
  TSDL_Rect destination = SDLRect(X, Y, TileSize, TileSize);
  SDL_BlitSurface(TileSet, &source, GameScreen, &destination);
}

void DrawBackgound(PSDL_Surface GameScreen, PSDL_Surface BGImage) {
  if (GameScreen == nullptr || BGImage == nullptr || BGImage->w <= 0 || BGImage->h <= 0) {
    return;
  }
  // One record serves as source and destination: SDL reads the source rectangle before it
  // writes the clipped destination back.
  TSDL_Rect whole = SDLRect(0, 0, BGImage->w, BGImage->h);
  SDL_BlitSurface(BGImage, &whole, GameScreen, &whole);
}
