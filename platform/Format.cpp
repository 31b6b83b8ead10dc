#include "Format.h"

#include <string>

#include "Exceptions.h"

namespace {

[[noreturn]] void InvalidFormat(const String& format) {
  throw EConvertError(u"Format '" + format + u"' invalid or incompatible with argument");
}

// Widths beyond this are a broken format string, not a layout.
constexpr size_t MaxWidth = 1024;

}  // namespace

String Format(const String& format, std::initializer_list<FormatArg> args) {
  String out;
  auto arg = args.begin();
  const size_t n = format.size();
  for (size_t i = 0; i < n; ++i) {
    if (format[i] != u'%') {
      out += format[i];
      continue;
    }
    if (++i == n) InvalidFormat(format);
    if (format[i] == u'%') {
      out += u'%';
      continue;
    }
    const bool leftAlign = format[i] == u'-';
    if (leftAlign) ++i;
    size_t width = 0;
    while (i < n && format[i] >= u'0' && format[i] <= u'9') {
      width = width * 10 + (format[i] - u'0');
      if (width > MaxWidth) InvalidFormat(format);
      ++i;
    }
    if (i == n || arg == args.end()) InvalidFormat(format);
    String piece;
    if (format[i] == u'd' || format[i] == u'D') {
      const int64_t* value = std::get_if<int64_t>(&*arg);
      if (!value) InvalidFormat(format);
      piece = IntToStr(*value);
    } else if (format[i] == u's' || format[i] == u'S') {
      const String* value = std::get_if<String>(&*arg);
      if (!value) InvalidFormat(format);
      piece = *value;
    } else {
      InvalidFormat(format);
    }
    ++arg;
    if (piece.size() < width) {
      const String pad(width - piece.size(), u' ');
      piece = leftAlign ? piece + pad : pad + piece;
    }
    out += piece;
  }
  return out;
}

String IntToStr(int64_t value) {
  const std::string digits = std::to_string(value);
  return String(digits.begin(), digits.end());
}
