#pragma once
// The user script window's rules without its widgets: the transcript after
// Execute, the script after Import, the bytes Export writes, and the
// layout in twips. Texts use CR LF line ends.
#include <optional>
#include <string>
#include <string_view>

#include "layout.h"
#include "library_loader.h"

namespace zel {

inline constexpr std::u16string_view kNotExecutableText = u"This script is not executable";
inline constexpr std::u16string_view kSelectRangeText = u"出力範囲を選択してください";

// Every script handed to the engine goes into the transcript, before it
// runs, so a failing one is there too.
std::u16string TranscriptAfterExecute(std::u16string_view transcript, std::u16string_view script);

// The script after importing `file`: below the old text after a line
// break, even when the box was empty. nullopt (nothing changes) when the
// file could not be read or is empty.
std::optional<std::u16string> ScriptAfterImport(std::u16string_view script, const FileText& file);

// What Export writes for the selected transcript text: UTF-8 without a
// byte-order mark, no line break added.
std::string ExportBytes(std::u16string_view selection);

inline constexpr int kScriptMinHeight = 6000;
inline constexpr int kScriptMinWidth = 4600;

struct ScriptWindowLayout {
  int width = 0, height = 0;  // outer size after the minimum rule
  TwRect inMemory, exitButton, script, exe, exportButton, importButton;
};

// `width` and `height`: the window's outer size in twips.
ScriptWindowLayout ComputeScriptWindowLayout(float width, float height);

}  // namespace zel
