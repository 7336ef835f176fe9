#include "FailureNotice.h"

#include <cstdio>

#include "game/GameFacts.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

void ShowStartFailure(const std::string& Reason) {
  std::fprintf(stderr, "tumult2d: %s\n", Reason.c_str());
#ifdef _WIN32
  // Started from Explorer, a window program's stderr reaches nobody, and SDL 1.2 has no
  // message box of its own.
  std::fflush(stderr);
  MessageBoxA(nullptr, Reason.c_str(), kGameTitle, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
#endif
}
