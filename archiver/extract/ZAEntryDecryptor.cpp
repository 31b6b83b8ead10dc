// No encryption scheme is linked in yet: encrypted entries are undecodable.
#include "ZAEntryDecryptor.h"

std::unique_ptr<TZAEntryDecryptor> CreateEntryDecryptor(const TDirItem&, uint16_t) {
  return nullptr;
}
