#include "Options.h"

#include "TextCodec.h"

namespace {

struct TParser {
  TVunzipOptions& O;
  std::string& Error;
  bool ModeSet = false;
  bool Excluding = false;

  bool Fail(const std::string& Reason) {
    Error = Reason;
    return false;
  }

  bool SetMode(TVunzipMode Mode) {
    using M = TVunzipMode;
    if (ModeSet && O.Mode != Mode) {
      // -l with -v is the verbose list, as in unzip.
      const bool lv = (O.Mode == M::List && Mode == M::Verbose) || (O.Mode == M::Verbose && Mode == M::List);
      if (!lv) return Fail("only one of -l, -v, -1, -z and -t may be given");
      Mode = M::Verbose;
    }
    O.Mode = Mode;
    ModeSet = true;
    return true;
  }

  bool SetOverwrite(TOverwritePolicy Policy) {
    using P = TOverwritePolicy;
    const P old = O.Overwrite;
    if (old != P::Ask && old != Policy && (old == P::Never || Policy == P::Never))
      return Fail("-n cannot be combined with -o or -u");
    // -u with -o: newer files only, and never a question.
    if (old != P::IfNewer) O.Overwrite = Policy;
    return true;
  }

  // The letters of one bundle; -d and -P take the next argument when the bundle ends with them.
  bool Bundle(const String& Arg, const std::vector<String>& Args, size_t& Index) {
    for (size_t k = 1; k < Arg.size(); ++k) {
      const char16_t c = Arg[k];
      bool ok = true;
      switch (c) {
        case u'l': ok = SetMode(TVunzipMode::List); break;
        case u'v': ok = SetMode(TVunzipMode::Verbose); break;
        case u'1': ok = SetMode(TVunzipMode::Names); break;
        case u'z': ok = SetMode(TVunzipMode::Comment); break;
        case u't': ok = SetMode(TVunzipMode::Test); break;
        case u'h': O.Mode = TVunzipMode::Help; return true;
        case u'o': ok = SetOverwrite(TOverwritePolicy::Always); break;
        case u'n': ok = SetOverwrite(TOverwritePolicy::Never); break;
        case u'u': ok = SetOverwrite(TOverwritePolicy::IfNewer); break;
        case u'j': O.NoPaths = true; break;
        case u'q': O.Quiet = true; break;
        case u'x':
          if (k + 1 != Arg.size()) return Fail("-x takes its masks as separate arguments");
          Excluding = true;
          return true;
        case u'd':
        case u'P': {
          String value;
          if (k + 1 < Arg.size()) {
            value = Arg.substr(k + 1);
          } else if (Index + 1 < Args.size()) {
            value = Args[++Index];
          } else {
            return Fail(std::string("-") + static_cast<char>(c) + " needs a value");
          }
          if (c == u'd') {
            if (value.empty()) return Fail("-d needs a folder");
            O.Dir = value;
          } else {
            O.Password = value;
          }
          return true;
        }
        default:
          return Fail("unknown option -" + StringToUtf8(String(1, c)));
      }
      if (!ok) return false;
    }
    return true;
  }

  void Operand(const String& Arg) {
    if (O.Archive.empty() && !Excluding)
      O.Archive = Arg;
    else if (Excluding)
      O.Exclusions.push_back(Arg);
    else
      O.Masks.push_back(Arg);
  }
};

}  // namespace

bool ParseArguments(const std::vector<String>& Args, TVunzipOptions& Options, std::string& Error) {
  Options = TVunzipOptions{};
  if (Args.empty()) {
    Options.Mode = TVunzipMode::Help;
    return true;
  }
  TParser p{Options, Error};
  bool operandsOnly = false;
  for (size_t i = 0; i < Args.size(); ++i) {
    const String& arg = Args[i];
    if (operandsOnly || arg.size() < 2 || arg[0] != u'-') {
      p.Operand(arg);
      continue;
    }
    if (arg == u"--") {
      operandsOnly = true;
      continue;
    }
    if (arg == u"--help") {
      Options.Mode = TVunzipMode::Help;
      return true;
    }
    if (arg == u"--version") {
      Options.Mode = TVunzipMode::Version;
      return true;
    }
    if (arg[1] == u'-') return p.Fail("unknown option " + StringToUtf8(arg));
    // An option ends an exclusion list begun by -x.
    p.Excluding = false;
    if (!p.Bundle(arg, Args, i)) return false;
    if (Options.Mode == TVunzipMode::Help) return true;
  }
  if (Options.Archive.empty()) return p.Fail("no archive given");
  return true;
}

std::string UsageText() {
  return "Usage: vunzip [options] ARCHIVE [MASK ...] [-x XMASK ...]\n"
         "Extracts the items of a ZIP archive that match the masks (default: all)\n"
         "below the current folder or -d DIR.\n"
         "\n"
         "Modes (default: extract):\n"
         "  -l          list sizes, dates and names\n"
         "  -v          verbose list: packed size, ratio, method, CRC-32, encryption\n"
         "  -1          names only, one per line\n"
         "  -z          the archive comment\n"
         "  -t          test every item by decoding it, writing nothing\n"
         "Options:\n"
         "  -d DIR      extract below DIR (created when missing)\n"
         "  -o          replace existing files without asking\n"
         "  -n          never replace existing files\n"
         "  -u          replace only files older than the archived item\n"
         "  -j          junk folders: every file goes straight into the destination\n"
         "  -P PASSWORD password for encrypted items\n"
         "  -q          quiet: no per-item lines, no progress bar\n"
         "  -x XMASK    exclude items matching XMASK (repeatable)\n"
         "  -h, --help  this text;  --version  the program's version\n"
         "Masks use * and ?, ignore ASCII case, and match a name in any folder.\n"
         "Without a terminal on stdin nothing is asked: existing files are kept\n"
         "unless -o, and encrypted items without a working -P are skipped.\n"
         "Exit status: 0 all well, 1 some items skipped or failed, 2 damaged archive,\n"
         "9 archive not found, 10 bad options, 11 no item matched, 82 nothing\n"
         "extracted for bad or missing passwords.\n";
}
