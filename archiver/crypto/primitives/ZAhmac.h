#pragma once
// HMAC (RFC 2104) over any registered hash descriptor.
#include <cstdint>

#include "HashDesc.h"

struct THMAC_Context {
  THashContext hashctx;  // the running inner or outer hash
  THashBuffer hmacbuf;   // the key block XOR 0x36 while the inner hash runs
  PHashDesc phashd;      // nullptr: started without a descriptor, inert
};

// A key longer than the hash's block is hashed first.
void HMACInit(THMAC_Context& Context, PHashDesc PHash, const void* Key, uint16_t KLen);
void HMACUpdate(THMAC_Context& Context, const void* Data, int32_t DLen);
// Ends the context: it must be started again before further use.
void HMACFinal(THMAC_Context& Context, THashDigest& Mac);
