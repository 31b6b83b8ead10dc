// The UTF-8 half of the text codecs; the code pages live in win32/ and posix/.
#include "TextCodec.h"

namespace {

constexpr char32_t Replacement = 0xFFFD;

// Decodes one scalar value at bytes[i], advancing i. An ill-formed sequence
// gives U+FFFD with ok false and consumes its longest valid prefix (at least
// one byte), so each broken sequence costs one replacement, as Unicode advises.
char32_t DecodeOne(const AnsiString& bytes, size_t& i, bool& ok) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char lead = byte(i++);
  ok = true;
  if (lead < 0x80) return lead;

  int more;
  char32_t cp;
  unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    more = 1, cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    more = 2, cp = lead & 0x0F;
    if (lead == 0xE0) lo = 0xA0;  // overlong
    if (lead == 0xED) hi = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    more = 3, cp = lead & 0x07;
    if (lead == 0xF0) lo = 0x90;  // overlong
    if (lead == 0xF4) hi = 0x8F;  // above U+10FFFF
  } else {
    ok = false;
    return Replacement;
  }
  for (int k = 0; k < more; ++k) {
    const unsigned char lower = k == 0 ? lo : 0x80, upper = k == 0 ? hi : 0xBF;
    if (i == bytes.size() || byte(i) < lower || byte(i) > upper) {
      ok = false;
      return Replacement;
    }
    cp = (cp << 6) | (byte(i++) & 0x3F);
  }
  return cp;
}

}  // namespace

String Utf8ToString(const AnsiString& bytes) {
  String text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    bool ok;
    const char32_t cp = DecodeOne(bytes, i, ok);
    if (cp < 0x10000) {
      text += static_cast<char16_t>(cp);
    } else {
      text += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      text += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
  }
  return text;
}

AnsiString StringToUtf8(const String& text) {
  AnsiString bytes;
  bytes.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = Replacement;  // a lone surrogate has no UTF-8 form
    }
    if (cp < 0x80) {
      bytes += static_cast<char>(cp);
    } else if (cp < 0x800) {
      bytes += static_cast<char>(0xC0 | (cp >> 6));
      bytes += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      bytes += static_cast<char>(0xE0 | (cp >> 12));
      bytes += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      bytes += static_cast<char>(0xF0 | (cp >> 18));
      bytes += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      bytes += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return bytes;
}

bool IsValidUtf8(const AnsiString& bytes) {
  for (size_t i = 0; i < bytes.size();) {
    bool ok;
    DecodeOne(bytes, i, ok);
    if (!ok) return false;
  }
  return true;
}
