#include "ZAhmac.h"

#include <algorithm>
#include <cstring>

namespace {

// A descriptor's block never runs past the key block buffer.
size_t BlockLenOf(PHashDesc d) { return std::min<size_t>(d->HBlockLen, sizeof(THashBuffer)); }
size_t DigestLenOf(PHashDesc d) { return std::min<size_t>(d->HDigestlen, sizeof(THashDigest)); }

}  // namespace

void HMACInit(THMAC_Context& Context, PHashDesc PHash, const void* Key, uint16_t KLen) {
  std::memset(&Context, 0, sizeof Context);
  if (!PHash) return;
  Context.phashd = PHash;
  const size_t blockLen = BlockLenOf(PHash);
  if (KLen > blockLen) {
    THashDigest digest;
    HashFull(digest, PHash, Key, KLen);
    std::memcpy(Context.hmacbuf.data(), digest.data(), std::min(DigestLenOf(PHash), blockLen));
  } else if (KLen > 0) {
    std::memcpy(Context.hmacbuf.data(), Key, KLen);
  }
  for (size_t i = 0; i < blockLen; ++i) Context.hmacbuf[i] ^= 0x36;
  PHash->HInit(Context.hashctx);
  PHash->HUpdateXL(Context.hashctx, Context.hmacbuf.data(), int32_t(blockLen));
}

void HMACUpdate(THMAC_Context& Context, const void* Data, int32_t DLen) {
  if (Context.phashd) Context.phashd->HUpdateXL(Context.hashctx, Data, DLen);
}

void HMACFinal(THMAC_Context& Context, THashDigest& Mac) {
  PHashDesc d = Context.phashd;
  if (!d) return;
  d->HFinal(Context.hashctx, Mac);
  // 0x36 ^ 0x6A = 0x5C: the inner pad becomes the outer pad in place.
  const size_t blockLen = BlockLenOf(d);
  for (size_t i = 0; i < blockLen; ++i) Context.hmacbuf[i] ^= 0x6A;
  d->HInit(Context.hashctx);
  d->HUpdateXL(Context.hashctx, Context.hmacbuf.data(), int32_t(blockLen));
  d->HUpdateXL(Context.hashctx, Mac.data(), int32_t(DigestLenOf(d)));
  d->HFinal(Context.hashctx, Mac);
}
