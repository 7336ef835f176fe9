// A picture as a grid of pixels, and the one file format the game loads: uncompressed BMP.
#ifndef TUMULT2D_IMAGEGEN_IMAGE_H_
#define TUMULT2D_IMAGEGEN_IMAGE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TRgb {
  uint8_t R;
  uint8_t G;
  uint8_t B;
};

inline bool operator==(TRgb A, TRgb B) {
  return A.R == B.R && A.G == B.G && A.B == B.B;
}
inline bool operator!=(TRgb A, TRgb B) {
  return !(A == B);
}

// The game treats this colour as see-through in sprites, so only sprites may contain it.
constexpr TRgb kMagenta{255, 0, 255};

// Width x Height pixels, row 0 at the top as the game addresses it.
template <typename TPixel>
class TRaster {
 public:
  TRaster(int Width, int Height, TPixel Fill)
      : Width_(Width),
        Height_(Height),
        Pixels_(static_cast<size_t>(Width) * static_cast<size_t>(Height), Fill) {}

  [[nodiscard]] int Width() const { return Width_; }
  [[nodiscard]] int Height() const { return Height_; }
  [[nodiscard]] TPixel At(int X, int Y) const { return Pixels_[Index(X, Y)]; }
  TPixel& At(int X, int Y) { return Pixels_[Index(X, Y)]; }
  [[nodiscard]] bool Contains(int X, int Y) const {
    return X >= 0 && Y >= 0 && X < Width_ && Y < Height_;
  }

 private:
  [[nodiscard]] size_t Index(int X, int Y) const {
    return static_cast<size_t>(Y) * static_cast<size_t>(Width_) + static_cast<size_t>(X);
  }

  int Width_;
  int Height_;
  std::vector<TPixel> Pixels_;
};

using TImage = TRaster<TRgb>;

// BITMAPINFOHEADER, no compression, 24 bits, bottom-up rows padded to 4 bytes.
std::vector<uint8_t> EncodeBmp24(const TImage& Image);

// False if the file could not be written completely.
bool WriteBmp24(const TImage& Image, const std::string& Path);

#endif  // TUMULT2D_IMAGEGEN_IMAGE_H_
