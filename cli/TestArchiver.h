#pragma once
// The component with one addition for -t: decoding an item into the null
// stream. The engine's own test operation lies outside the component's
// public interface, and its decoder is reachable only from a descendant.
#include "ZANullStream.h"
#include "ZipArchiver.h"

class TVunzipArchiver : public TZipArchiver {
 public:
  explicit TVunzipArchiver(TComponent* AOwner) : TZipArchiver(AOwner) {}

  // Raises EZAException (or a stream error) when the item fails to decode or
  // verify; returns normally, writing nothing, when it passes or when the
  // password step skipped it.
  void TestItem(int ItemNo) {
    TNullStream sink;
    DecodeItem(ItemNo, sink);
  }
};
