#pragma once
// Hex helpers for the crypto suites: vectors are typed as in their standards.
#include <cstdint>
#include <string>
#include <vector>

#include "HashDesc.h"

namespace crypto_test {

inline std::vector<uint8_t> Hex(const std::string& hex) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(uint8_t(std::stoul(hex.substr(i, 2), nullptr, 16)));
  return out;
}

inline std::string ToHex(const uint8_t* p, size_t n) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < n; ++i) {
    s += digits[p[i] >> 4];
    s += digits[p[i] & 15];
  }
  return s;
}

inline std::string ToHex(const std::vector<uint8_t>& v) { return ToHex(v.data(), v.size()); }

inline std::string DigestHex(const THashDigest& d, size_t n = 20) { return ToHex(d.data(), n); }

inline std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

}  // namespace crypto_test
