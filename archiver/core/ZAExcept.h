#pragma once
// The engine's error: a native code that identifies where a failure was
// detected, mapped to a user-facing error code and message.
#include <initializer_list>

#include "Exceptions.h"
#include "Format.h"

class TComponent;

class EZAException : public Exception {
 public:
  EZAException(int NativeErr, const TComponent* Component);
  EZAException(int NativeErr, std::initializer_list<FormatArg> Args, const TComponent* Component);

  int ErrorCode;
  int NativeError;

 private:
  static String BuildMessage(int NativeErr, String Text, const TComponent* Component);
};

// The message of an error code (0 to 40); "Unknown error" outside.
const String& ZAErrorMessage(int ErrorCode);
// The error code of a native code; 0 when the table has none.
int ZAErrorCodeOf(int NativeErr);
