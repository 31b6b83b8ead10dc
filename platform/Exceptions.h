#pragma once
// The platform's exception classes. Messages are UTF-16; what() gives UTF-8.
#include <exception>
#include <string>

#include "Types.h"

class Exception : public std::exception {
 public:
  explicit Exception(String message);
  ~Exception() override;

  const String& Message() const { return FMessage; }
  void SetMessage(String message);
  const char* what() const noexcept override;

 private:
  String FMessage;
  std::string FWhat;
};

// A failing OS call of the file layer; ErrorCode is the OS error number.
class EInOutError : public Exception {
 public:
  EInOutError(String message, int errorCode);
  int ErrorCode;
};

class EConvertError : public Exception {
  using Exception::Exception;
};

class EStreamError : public Exception {
  using Exception::Exception;
};

class EFileStreamError : public EStreamError {
  using EStreamError::EStreamError;
};

// "Cannot open file "%s". %s"
class EFOpenError : public EFileStreamError {
  using EFileStreamError::EFileStreamError;
};

// "Cannot create file "%s". %s"
class EFCreateError : public EFileStreamError {
  using EFileStreamError::EFileStreamError;
};

// "Stream read error": an exact read came short.
class EReadError : public EStreamError {
 public:
  EReadError();
};

// "Stream write error": an exact write came short.
class EWriteError : public EStreamError {
 public:
  EWriteError();
};

// zlib reported an error while inflating.
class EDecompressionError : public Exception {
  using Exception::Exception;
};
