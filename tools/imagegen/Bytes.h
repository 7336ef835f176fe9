// Numbers laid out byte by byte, whatever the host's order, and whole files written at once.
// Header-only, so that the PNG writer can be built into other programs with Png.cpp alone.
#ifndef TUMULT2D_IMAGEGEN_BYTES_H_
#define TUMULT2D_IMAGEGEN_BYTES_H_

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// Appends the low Count bytes of Value, least significant first (BMP, deflate).
inline void AppendLittleEndian(std::vector<uint8_t>& Bytes, uint32_t Value, int Count) {
  for (int i = 0; i < Count; ++i) {
    Bytes.push_back(static_cast<uint8_t>(Value >> (8 * i)));
  }
}

// Appends the four bytes of Value, most significant first (PNG).
inline void AppendBigEndian(std::vector<uint8_t>& Bytes, uint32_t Value) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    Bytes.push_back(static_cast<uint8_t>(Value >> shift));
  }
}

// Writes Bytes as the whole file at Path; false if it could not be written completely.
inline bool WriteFileBytes(const std::vector<uint8_t>& Bytes, const std::string& Path) {
  std::ofstream file(Path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(Bytes.data()),
             static_cast<std::streamsize>(Bytes.size()));
  file.close();
  return static_cast<bool>(file);
}

#endif  // TUMULT2D_IMAGEGEN_BYTES_H_
