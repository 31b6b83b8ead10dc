#include "Exceptions.h"

#include <utility>

#include "TextCodec.h"

Exception::Exception(String message)
    : FMessage(std::move(message)), FWhat(StringToUtf8(FMessage)) {}

Exception::~Exception() = default;

void Exception::SetMessage(String message) {
  FMessage = std::move(message);
  FWhat = StringToUtf8(FMessage);
}

const char* Exception::what() const noexcept { return FWhat.c_str(); }

EInOutError::EInOutError(String message, int errorCode)
    : Exception(std::move(message)), ErrorCode(errorCode) {}

EReadError::EReadError() : EStreamError(u"Stream read error") {}

EWriteError::EWriteError() : EStreamError(u"Stream write error") {}
