// Feeds arbitrary values to the battlefield, tank and line operations. Whatever the
// arguments, none of them may write outside the heights or the surface, read through a null
// handle, divide by zero or loop without end; the sanitizers and the fuzzer's time limit
// report it if one does.
#include <SDL.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Random.h"
#include "game/Battlefield.h"
#include "graphics/LineAndRect.h"

namespace {

// Reads values off the input; zeros once it runs out.
struct TInput {
  const uint8_t* Data;
  size_t Size;

  template <typename T>
  T Next() {
    T value{};
    const size_t count = std::min(Size, sizeof value);
    std::memcpy(&value, Data, count);
    Data += count;
    Size -= count;
    return value;
  }
};

// Small values most of the time, so that the operations reach their interesting paths, and
// any 32-bit value now and then.
int32_t Value(TInput& In) {
  const auto kind = In.Next<uint8_t>();
  return kind < 200 ? In.Next<int16_t>() % 1100 : In.Next<int32_t>();
}

void RunOne(TInput& In, TBattlefield& Field, TTankSlots& Tanks, SDL_Surface* Screen) {
  TMersenneTwister draws(In.Next<uint32_t>());
  switch (In.Next<uint8_t>() % 7) {
    case 0:
      Field.GenerateLand(draws, Value(In), Value(In), Value(In));
      break;
    case 1:
      Field.SmoothenLand(Value(In));
      break;
    case 2:
      Field.PlaceTank(Value(In), Value(In), *Tanks[In.Next<uint8_t>() % kMaxTanks]);
      break;
    case 3:
      Field.ScatterTanks(draws, Tanks, Value(In), Value(In), Value(In));
      break;
    case 4:
      Field.DrawSky(Screen);
      Field.DrawLand(Screen);
      break;
    case 5: {
      TTank& tank = *Tanks[In.Next<uint8_t>() % kMaxTanks];
      tank.X = In.Next<double>();
      tank.Y = In.Next<double>();
      tank.TurretX = Value(In);
      tank.TurretY = Value(In);
      tank.TurretLength = Value(In);
      tank.Draw(Screen);
      break;
    }
    default:
      SDL_DrawLine(Screen, Value(In), Value(In), Value(In), Value(In), In.Next<uint32_t>());
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TInput in{Data, Size};
  const int bitsPerPixel = 8 * (1 + in.Next<uint8_t>() % 4);
  SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 1 + in.Next<uint8_t>() % 90,
                                             1 + in.Next<uint8_t>() % 70, bitsPerPixel, 0, 0, 0, 0);
  TBattlefield field;
  field.Width = Value(in);
  field.Height = Value(in);
  field.SkyColor = in.Next<uint32_t>();
  TTankSlots tanks;
  for (auto& tank : tanks) {
    tank = std::make_unique<TTank>();
    tank->TrackSize = static_cast<uint32_t>(Value(in));
    tank->X = Value(in);
  }
  for (int step = 0; step < 8 && in.Size > 0; ++step) {
    RunOne(in, field, tanks, screen);
  }
  SDL_FreeSurface(screen);
  return 0;
}
