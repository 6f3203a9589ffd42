#include "RibOptions.h"

#include <iterator>

#include "Diagnostics.h"
#include "SameText.h"

namespace rib {
namespace {

// Text: the setting becomes 1 when the text is `one`, else 0. Encoding: "format", which picks one
// of the three encodings. Integer: the integer, within [low, high] when high > 0.
enum class ValueType { Text, Encoding, Integer };

// `scopes` holds a bit per OptionScope in which the word applies; `cleared` is a setting that the
// word sets to 0 first (choosing binary floats ends the compact encoding).
struct OptionWord {
  const char *token;
  ValueType type;
  RtInt RibSettings::*setting;
  RtInt RibSettings::*cleared;
  const char *one;
  RtInt low, high;
  unsigned scopes;
};

constexpr unsigned bit(OptionScope scope) { return 1u << static_cast<unsigned>(scope); }
constexpr unsigned kBeforeBegin = bit(OptionScope::NewContext) | bit(OptionScope::LaterContexts);
constexpr unsigned kAnyTime = kBeforeBegin | bit(OptionScope::OpenContext);
constexpr unsigned kNewContext = bit(OptionScope::NewContext);

constexpr OptionWord kWords[] = {
    {"format", ValueType::Encoding, &RibSettings::binary, nullptr, nullptr, 0, 0, kBeforeBegin},
    {"binary", ValueType::Integer, &RibSettings::binary, &RibSettings::compact, nullptr, 0, 0,
     kAnyTime},
    {"compact", ValueType::Integer, &RibSettings::compact, nullptr, nullptr, 0, 0, kNewContext},
    {"compression", ValueType::Text, &RibSettings::compression, nullptr, "gzip", 0, 0,
     kBeforeBegin},
    {"gzip", ValueType::Integer, &RibSettings::compression, nullptr, nullptr, 0, 0, kNewContext},
    {"compressionlevel", ValueType::Integer, &RibSettings::compressionLevel, nullptr, nullptr, 1, 9,
     kBeforeBegin},
    {"precision", ValueType::Integer, &RibSettings::precision, nullptr, nullptr, 1, 17, kAnyTime},
};

// The texts a Text or Encoding word takes: its "off" text first for Text words.
constexpr const char *kFormats[] = {"ascii", "binary", "compact"};
constexpr const char *kCompressions[] = {"none", "gzip"};

// False (after one line) when `text` is not one of the word's texts.
bool knownText(const OptionWord &word, const char *text) {
  const bool format = word.type == ValueType::Encoding;
  const char *const *texts = format ? kFormats : kCompressions;
  const size_t count = format ? std::size(kFormats) : std::size(kCompressions);
  for (size_t i = 0; i < count; ++i)
    if (sameText(text, texts[i])) return true;
  reportError(RIE_BADTOKEN, "rib option \"%s\" must be %s, not \"%s\"; ignored", word.token,
              format ? "\"ascii\", \"binary\" or \"compact\"" : "\"none\" or \"gzip\"", text);
  return false;
}

void applyText(RibSettings &settings, const OptionWord &word, const char *text) {
  if (word.type == ValueType::Text) {
    settings.*word.setting = sameText(text, word.one) ? 1 : 0;
    return;
  }
  settings.binary = sameText(text, "binary") ? 1 : 0;
  settings.compact = sameText(text, "compact") ? 1 : 0;
}

} // namespace

bool isRibOption(RtToken name) { return sameText(name, "rib") || sameText(name, "RIB"); }

void applyRibOption(RibSettings &settings, const char *token, const void *value,
                    OptionScope scope) {
  for (const OptionWord &word : kWords) {
    if (!sameText(token, word.token)) continue;
    // A word of another time (the encoding of an open context) is left to that time.
    if (!(word.scopes & bit(scope))) return;
    if (word.type != ValueType::Integer) {
      const char *const *text = static_cast<const char *const *>(value);
      if (!text || !*text) {
        reportError(RIE_MISSINGDATA, "rib option \"%s\" has no text value; ignored", token);
        return;
      }
      if (knownText(word, *text)) applyText(settings, word, *text);
      return;
    }
    if (!value) {
      reportError(RIE_MISSINGDATA, "rib option \"%s\" has no integer value; ignored", token);
      return;
    }
    const RtInt number = *static_cast<const RtInt *>(value);
    if (word.high > 0 && (number < word.low || number > word.high)) {
      reportError(RIE_RANGE, "rib option \"%s\" must be %d to %d, not %d; ignored", token,
                  static_cast<int>(word.low), static_cast<int>(word.high),
                  static_cast<int>(number));
      return;
    }
    if (word.cleared) settings.*word.cleared = 0;
    settings.*word.setting = number;
    return;
  }
  reportError(RIE_BADTOKEN, "rib option \"%s\" is not known; ignored", token ? token : "");
}

} // namespace rib
