// JPEG decoding through libjpeg. libjpeg reports fatal errors through a
// callback that must not return, so it long-jumps out of a C-only frame and
// the exception is raised once every libjpeg object is released.
#include "JPEGImage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "TextCodec.h"

namespace {

// A 187 x 70 banner needs nothing near this; it keeps a forged header from
// asking for gigabytes.
constexpr uint64_t MaxPixels = 64ull << 20;

struct TDecoded {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
  char Message[JMSG_LENGTH_MAX] = {};
};

struct TErrorManager {
  jpeg_error_mgr Base;
  jmp_buf Jump;
  TDecoded* Out;
};

void ErrorExit(j_common_ptr Info) {
  auto* Manager = reinterpret_cast<TErrorManager*>(Info->err);
  (*Info->err->format_message)(Info, Manager->Out->Message);
  longjmp(Manager->Jump, 1);
}

// Warnings (a truncated scan, say) still give a picture; keep quiet.
void EmitMessage(j_common_ptr, int) {}

// Nothing with a destructor is created between setjmp and a possible
// longjmp: the pixels live in the caller's Out.
bool Decode(const uint8_t* Data, size_t Size, TDecoded& Out) {
  jpeg_decompress_struct Info;
  TErrorManager Errors;
  Info.err = jpeg_std_error(&Errors.Base);
  Errors.Base.error_exit = ErrorExit;
  Errors.Base.emit_message = EmitMessage;
  Errors.Out = &Out;
  if (setjmp(Errors.Jump)) {
    jpeg_destroy_decompress(&Info);
    return false;
  }
  jpeg_create_decompress(&Info);
  jpeg_mem_src(&Info, const_cast<unsigned char*>(Data), static_cast<unsigned long>(Size));
  jpeg_read_header(&Info, TRUE);
  if (Info.jpeg_color_space == JCS_CMYK || Info.jpeg_color_space == JCS_YCCK) {
    std::snprintf(Out.Message, sizeof(Out.Message), "CMYK JPEG pictures are not supported");
    jpeg_destroy_decompress(&Info);
    return false;
  }
  Info.out_color_space = JCS_EXT_BGRX;
  jpeg_start_decompress(&Info);
  const uint64_t Count = uint64_t{Info.output_width} * Info.output_height;
  if (Count > MaxPixels) {
    std::snprintf(Out.Message, sizeof(Out.Message), "JPEG picture too large (%ux%u)",
                  Info.output_width, Info.output_height);
    jpeg_destroy_decompress(&Info);
    return false;
  }
  Out.Width = static_cast<int>(Info.output_width);
  Out.Height = static_cast<int>(Info.output_height);
  Out.Pixels.assign(Count, 0);
  while (Info.output_scanline < Info.output_height) {
    JSAMPROW Row = reinterpret_cast<JSAMPROW>(&Out.Pixels[size_t{Info.output_scanline} * Info.output_width]);
    jpeg_read_scanlines(&Info, &Row, 1);
  }
  jpeg_finish_decompress(&Info);
  jpeg_destroy_decompress(&Info);
  return true;
}

}  // namespace

void TJPEGImage::LoadFromBytes(const uint8_t* Data, size_t Size) {
  TDecoded Out;
  if (!Decode(Data, Size, Out)) throw EJPEG(Utf8ToString(Out.Message));
  for (uint32_t& Pixel : Out.Pixels) Pixel &= 0x00FFFFFF;
  FWidth = Out.Width;
  FHeight = Out.Height;
  FPixels = std::move(Out.Pixels);
}

void TJPEGImage::LoadFromStream(TStream& Stream) {
  const int64_t Count = Stream.Size() - Stream.Position();
  std::vector<uint8_t> Data(static_cast<size_t>(Count > 0 ? Count : 0));
  Stream.ReadBuffer(Data.data(), static_cast<int64_t>(Data.size()));
  LoadFromBytes(Data.data(), Data.size());
}
