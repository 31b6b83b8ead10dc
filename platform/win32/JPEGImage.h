#pragma once
// A JPEG picture decoded by libjpeg into 32-bit pixels, ready for a
// device-independent bitmap. Used by the image control of the forms layer.
#include <cstdint>
#include <vector>

#include "Exceptions.h"
#include "Stream.h"
#include "Types.h"

// libjpeg rejected the data; the message is libjpeg's own.
class EJPEG : public Exception {
  using Exception::Exception;
};

class TJPEGImage {
 public:
  // Decodes the rest of Stream. Raises EJPEG for data libjpeg cannot decode
  // and leaves the picture as it was.
  void LoadFromStream(TStream& Stream);
  void LoadFromBytes(const uint8_t* Data, size_t Size);

  bool Empty() const { return FPixels.empty(); }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Rows top-down, each pixel 0x00RRGGBB (blue in the lowest byte).
  const std::vector<uint32_t>& Pixels() const { return FPixels; }

 private:
  int FWidth = 0;
  int FHeight = 0;
  std::vector<uint32_t> FPixels;
};
