#include "graphics/OpaqueRuns.h"

#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"

namespace {

// A picture whose pixels are 0, 1, 2, ... so that every small value is taken but one.
TSurfacePtr CountingPicture(int Width, int Height) {
  TSurfacePtr picture = MakeSurface(Width, Height);
  auto* const pixels = static_cast<uint8_t*>(picture->pixels);
  for (int y = 0; y < Height; ++y) {
    for (int x = 0; x < Width; ++x) {
      const auto value = static_cast<uint32_t>(y * Width + x);
      std::memcpy(pixels + y * picture->pitch + x * 4, &value, sizeof value);
    }
  }
  return picture;
}

TSurfacePtr Blitted(SDL_Surface* Picture) {
  TSurfacePtr target = MakeSurface(40, 30, 0x00777777);
  SDL_Rect at{3, -2, 0, 0};
  SDL_BlitSurface(Picture, nullptr, target.get(), &at);
  return target;
}

TEST(EncodeOpaqueRuns, CopiesTheSamePixelsAsThePlainPicture) {
  // Pictures that use the values 0 .. n - 1, all zeros (the key must avoid 0), and one
  // larger than the target, blitted partly off it.
  const TSurfacePtr pictures[] = {CountingPicture(17, 9), MakeSurface(8, 8, 0),
                                  CountingPicture(60, 50)};
  for (const TSurfacePtr& picture : pictures) {
    const TSurfacePtr plain = Blitted(picture.get());
    ASSERT_TRUE(EncodeOpaqueRuns(picture.get()));
    const TSurfacePtr encoded = Blitted(picture.get());
    // The copy went run by run; SDL 1.2 on SDL 2 (patch 50 and up) keeps the flag to itself.
    if (SDL_Linked_Version()->patch < 50) {
      EXPECT_NE(picture->flags & SDL_RLEACCEL, 0U);
    }
    EXPECT_EQ(SurfaceChecksum(encoded.get()), SurfaceChecksum(plain.get()));
  }
}

TEST(EncodeOpaqueRuns, LeavesAloneWhatItCannotEncode) {
  EXPECT_FALSE(EncodeOpaqueRuns(nullptr));
  const TSurfacePtr keyed = MakeSurface(4, 4, 5);
  SDL_SetColorKey(keyed.get(), SDL_SRCCOLORKEY, 5);
  EXPECT_FALSE(EncodeOpaqueRuns(keyed.get()));
  EXPECT_EQ(keyed->format->colorkey, 5U);
  const TSurfacePtr sixteenBits(SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 16, 0, 0, 0, 0));
  EXPECT_FALSE(EncodeOpaqueRuns(sixteenBits.get()));
  EXPECT_EQ(sixteenBits->flags & SDL_SRCCOLORKEY, 0U);
}

}  // namespace
