#include "RibOptions.h"

#include "Diagnostics.h"
#include "SameText.h"

namespace rib {
namespace {

enum class ValueType { Text, Integer, Digits };

// A text word sets its setting to 1 when the text is `one`, else 0; an integer word copies the
// integer. `scopes` holds a bit per OptionScope in which the word applies.
struct OptionWord {
  const char *token;
  ValueType type;
  RtInt RibSettings::*setting;
  const char *one;
  unsigned scopes;
};

constexpr unsigned bit(OptionScope scope) { return 1u << static_cast<unsigned>(scope); }
constexpr unsigned kBeforeBegin = bit(OptionScope::NewContext) | bit(OptionScope::LaterContexts);
constexpr unsigned kAnyTime = kBeforeBegin | bit(OptionScope::OpenContext);

constexpr OptionWord kWords[] = {
    {"format", ValueType::Text, &RibSettings::binary, "binary", kBeforeBegin},
    {"binary", ValueType::Integer, &RibSettings::binary, nullptr, kAnyTime},
    {"compression", ValueType::Text, &RibSettings::compression, "gzip", kBeforeBegin},
    {"gzip", ValueType::Integer, &RibSettings::compression, nullptr, bit(OptionScope::NewContext)},
    {"precision", ValueType::Digits, &RibSettings::precision, nullptr, kAnyTime},
};

} // namespace

bool isRibOption(RtToken name) { return sameText(name, "rib") || sameText(name, "RIB"); }

void applyRibOption(RibSettings &settings, const char *token, const void *value,
                    OptionScope scope) {
  for (const OptionWord &word : kWords) {
    if (!sameText(token, word.token) || !(word.scopes & bit(scope))) continue;
    if (word.type == ValueType::Text) {
      const char *const *text = static_cast<const char *const *>(value);
      if (!text || !*text) {
        reportError(RIE_MISSINGDATA, "rib option \"%s\" has no text value; ignored", token);
        return;
      }
      settings.*word.setting = sameText(*text, word.one) ? 1 : 0;
      return;
    }
    if (!value) {
      reportError(RIE_MISSINGDATA, "rib option \"%s\" has no integer value; ignored", token);
      return;
    }
    const RtInt number = *static_cast<const RtInt *>(value);
    if (word.type == ValueType::Digits && (number < 1 || number > 17)) {
      reportError(RIE_RANGE, "rib option \"precision\" must be 1 to 17, not %d; ignored",
                  static_cast<int>(number));
      return;
    }
    settings.*word.setting = number;
    return;
  }
}

} // namespace rib
