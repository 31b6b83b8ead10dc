#include "ZANullStream.h"

int64_t TNullStream::Read(void*, int64_t Count) { return Count; }

int64_t TNullStream::Write(const void*, int64_t Count) { return Count; }

// Size and position always read as 0.
int64_t TNullStream::Seek(int64_t, TSeekOrigin) { return 0; }

void TNullStream::SetSize(int64_t) {}
