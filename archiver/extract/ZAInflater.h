#pragma once
// zlib's inflate over the raw deflate data of an entry. The two bytes of a
// zlib header go in front of the first chunk, so zlib reads the entry as a
// zlib stream without its Adler-32 trailer; the end of the packed data, not
// a trailer, ends the item.
#include <zlib.h>

#include <cstdint>

class TZAInflater {
 public:
  TZAInflater() = default;
  TZAInflater(const TZAInflater&) = delete;
  TZAInflater& operator=(const TZAInflater&) = delete;
  ~TZAInflater();

  // False when zlib cannot be set up.
  bool Init();
  // Sets the next input. Data must have two writable bytes in front of it:
  // the header goes there before the first chunk.
  void SetInput(uint8_t* Data, uint32_t Count, bool FirstChunk);
  void SetOutput(uint8_t* Buffer, uint32_t Count);
  // One inflate call with Z_NO_FLUSH; zlib's result.
  int Inflate();
  uint32_t InputLeft() const { return FStream.avail_in; }
  uint32_t OutputLeft() const { return FStream.avail_out; }
  // Ends zlib's state; zlib's result (negative on error), or Z_OK when idle.
  int End();

 private:
  z_stream FStream{};
  bool FActive = false;
};
