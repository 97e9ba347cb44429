#pragma once
// The texts of the engine host's dialogs. Lines are separated by CR LF.
#include <string>
#include <string_view>
#include <vector>

namespace zel {

inline constexpr std::u16string_view kAppTitle = u"zelCalc";
inline constexpr std::u16string_view kMainCaption = u"Quorbit Calculator";
inline constexpr std::u16string_view kLogReadOnlyText = u"This text box is desplay or selection only.";

// A name declared twice at `line` of `fileName`.
std::u16string DuplicateDeclarationText(std::u16string_view fileName, int line);

// A library file failed to load.
std::u16string LoadErrorText(int number, std::u16string_view description,
                             std::u16string_view fileName, int line, int column);

// An evaluation failed.
std::u16string EvaluationErrorText(int number, std::u16string_view description, int line,
                                   int column);

// A reload that ended part-way, the program going on: which library files
// are not loaded (a long list is cut short), and whether to reload now.
std::u16string LibraryNotLoadedText(const std::vector<std::u16string>& fileNames);

}  // namespace zel
