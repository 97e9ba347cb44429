#include "script_window_rules.h"

#include <algorithm>
#include <cmath>

#include "vbs/textcodec.h"

namespace zel {

std::u16string TranscriptAfterExecute(std::u16string_view transcript, std::u16string_view script) {
  std::u16string t(transcript);
  t += script;
  t += u"\r\n";
  return t;
}

std::optional<std::u16string> ScriptAfterImport(std::u16string_view script, const FileText& file) {
  if (!file.ok || file.text.empty()) return std::nullopt;
  std::u16string s(script);
  s += u"\r\n";
  s += file.text;
  return s;
}

std::string ExportBytes(std::u16string_view selection) { return vbs::Utf16ToUtf8(selection); }

ScriptWindowLayout ComputeScriptWindowLayout(float width, float height) {
  // Single precision, as the sizes are stored.
  constexpr float kMargin = 120;  // txtInMemory's left, also its top and every gap
  constexpr float kMemoryHeight = 2055;
  constexpr float kButtonHeight = 500;
  const float h = std::max(height, float(kScriptMinHeight));
  const float w = std::max(width, float(kScriptMinWidth));
  const float boxWidth = w - 3 * kMargin;
  const float third = boxWidth / 3;
  const float scriptHeight = h - kMemoryHeight - 2 * kButtonHeight - 8 * kMargin;
  const float exitTop = kMargin + kMemoryHeight + kMargin;
  const float scriptTop = exitTop + kButtonHeight + kMargin;
  const float exeTop = scriptTop + scriptHeight + kMargin;
  auto r = [](float left, float top, float wd, float ht) {
    return TwRect{int(std::lround(left)), int(std::lround(top)), int(std::lround(wd)),
                  int(std::lround(ht))};
  };
  ScriptWindowLayout l;
  l.width = int(std::lround(w));
  l.height = int(std::lround(h));
  l.inMemory = r(kMargin, kMargin, boxWidth, kMemoryHeight);
  l.exitButton = r(kMargin, exitTop, boxWidth, kButtonHeight);
  l.script = r(kMargin, scriptTop, boxWidth, scriptHeight);
  l.exe = r(kMargin, exeTop, third, kButtonHeight);
  l.exportButton = r(kMargin + third, exeTop, third, kButtonHeight);
  l.importButton = r(kMargin + 2 * third, exeTop, third, kButtonHeight);
  return l;
}

}  // namespace zel
