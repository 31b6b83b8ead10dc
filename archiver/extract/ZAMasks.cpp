#include "ZAMasks.h"

#include <vector>

#include "ZAStrFunc.h"

namespace {

char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c | 0x20) : c; }

// The matcher is an OR-search: each "*" tries the rest of the pattern at every
// later name position but the very end, and the first success decides. So a
// (star, position) pair that failed once fails again, and a star's tries
// need never cover positions an earlier try of the same star covered. That
// keeps hostile names of 64K characters linear per star instead of
// exponential, with the results of the plain recursive definition.
class TWildcardMatcher {
 public:
  TWildcardMatcher(const String& Name, const String& Pattern, bool IgnoreCase)
      : N(Name), P(Pattern), FIgnoreCase(IgnoreCase), FTriedFrom(Pattern.size() + 1, Name.size()) {}

  bool Match() {
    size_t i = 0, j = 0;
    for (;;) {
      size_t star = 0;
      switch (Enter(i, j, star)) {
        case kTrue: return true;
        case kStar: {
          // Positions from here up to the last try's start are new.
          FStack.push_back({star, i, FTriedFrom[star]});
          if (i < FTriedFrom[star]) FTriedFrom[star] = i;
          break;
        }
        case kFalse: break;
      }
      if (!NextTry(i, j)) return false;
    }
  }

 private:
  enum TOutcome { kTrue, kFalse, kStar };
  struct TTry {
    size_t Star;  // pattern index of the "*"
    size_t Next;  // name position to try next
    size_t End;   // first position not to try
  };

  bool IsStarDotStar(size_t j) const {
    return P.size() - j == 3 && P[j] == u'*' && P[j + 1] == u'.' && P[j + 2] == u'*';
  }

  // One entry at name position i and pattern position j: walks the literal
  // part up to the next "*" (reported in Star, with i left at its position).
  TOutcome Enter(size_t& i, size_t j, size_t& Star) const {
    if (IsStarDotStar(j)) return kTrue;
    for (;;) {
      if (P.size() - j == 1 && P[j] == u'*') return kTrue;
      if (i == N.size()) return j == P.size() ? kTrue : kFalse;
      if (j == P.size()) return kFalse;
      if (P[j] == u'*') {
        Star = j;
        return kStar;
      }
      if (P[j] != u'?') {
        const char16_t a = FIgnoreCase ? FoldAscii(N[i]) : N[i];
        const char16_t b = FIgnoreCase ? FoldAscii(P[j]) : P[j];
        if (a != b) return kFalse;
      }
      ++i;
      ++j;
    }
  }

  bool NextTry(size_t& i, size_t& j) {
    while (!FStack.empty()) {
      TTry& top = FStack.back();
      if (top.Next < top.End) {
        i = top.Next++;
        j = top.Star + 1;
        return true;
      }
      FStack.pop_back();
    }
    return false;
  }

  const String& N;
  const String& P;
  bool FIgnoreCase;
  std::vector<size_t> FTriedFrom;  // per pattern index: lowest start tried for that star
  std::vector<TTry> FStack;
};

bool EndsWithFullStop(const String& S) { return !S.empty() && S.back() == u'.'; }

}  // namespace

bool WildcardMatch(const String& Name, const String& Pattern, bool IgnoreCase) {
  return TWildcardMatcher(Name, Pattern, IgnoreCase).Match();
}

bool IsMaskMatch(const String& Name, const String& Mask) {
  if (Mask.empty()) return false;
  String pattern = ReplaceText(Mask, u"*.*", u"*", false);
  const bool noExtension = EndsWithFullStop(Mask);
  if (noExtension && !pattern.empty()) pattern.pop_back();
  String name = Name;
  if (EndsWithFullStop(name)) name.pop_back();
  if (!WildcardMatch(name, pattern, true)) return false;
  if (!noExtension) return true;
  const String extension = ExtensionPart(Name);
  return extension.empty() || extension == u".";
}

bool IsAttrAccepted(uint32_t Attributes, int32_t SearchValue) {
  return (Attributes & (~static_cast<uint32_t>(SearchValue) & 0x1E)) == 0;
}
