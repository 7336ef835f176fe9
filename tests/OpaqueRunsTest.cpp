#include "graphics/OpaqueRuns.h"

#include "TestSupport.h"
#include "graphics/LineAndRect.h"

namespace {

// A Width x Height picture holding Values row by row, or 0, 1, 2, ... when Values is empty, so
// that every small value is taken but one.
TSurfacePtr Picture(int Width, int Height, std::vector<uint32_t> Values = {}) {
  TSurfacePtr picture = MakeSurface(Width, Height);
  for (int i = 0; i < Width * Height; ++i)
    SDL_PutPixel(picture.get(), i % Width, i / Width,
                 Values.empty() ? uint32_t(i) : Values[size_t(i)]);
  return picture;
}

// The key is the smallest value no pixel has, so that no pixel is left out; blitted partly off
// the target, the encoded picture sets the same pixels as the plain one.
TEST(OpaqueRuns, KeysOnTheSmallestUnusedValueAndCopiesTheSamePixels) {
  const std::pair<TSurfacePtr, uint32_t> cases[] = {
      {Picture(17, 9), 153},         {Picture(60, 50), 3000},
      {MakeSurface(8, 8, 0), 1},     {Picture(4, 1, {0, 4, 0xFFFFFF, 1}), 2},
      {Picture(1, 3, {2, 1, 0}), 3},
  };
  for (const auto& [picture, key] : cases) {
    const auto blitted = [&picture = picture] {
      TSurfacePtr target = MakeSurface(40, 30, 0x00777777);
      SDL_Rect at{3, 2, 0, 0};
      SDL_BlitSurface(picture.get(), nullptr, target.get(), &at);
      return SurfaceChecksum(target.get());
    };
    const uint64_t plain = blitted();
    ASSERT_TRUE(EncodeOpaqueRuns(picture.get()));
    EXPECT_EQ(picture->format->colorkey, key);
    EXPECT_EQ(blitted(), plain);
    // The copy went run by run; SDL 1.2 on SDL 2 (patch 50 and up) keeps the flag to itself.
    if (SDL_Linked_Version()->patch < 50) {
      EXPECT_NE(picture->flags & SDL_RLEACCEL, 0U);
    }
  }
}

}  // namespace
