// The texts of the errors named in vbs/errors.h, and raising them.
#include <cstddef>

#include "vbs/errors.h"

namespace vbs {

namespace {

#define VBS_ERROR_ENTRY(name, number, text) {number, text},
// The runtime's own table, ascending: looked up by halves.
constexpr StandardError kStandard[] = {
    VBS_RUNTIME_ERRORS(VBS_ERROR_ENTRY) VBS_COMPILE_ERRORS(VBS_ERROR_ENTRY) VBS_OBJECT_ERRORS(VBS_ERROR_ENTRY)};
constexpr StandardError kHost[] = {VBS_HOST_ERRORS(VBS_ERROR_ENTRY)};
#undef VBS_ERROR_ENTRY

constexpr bool Ascending() {
  for (size_t i = 1; i < sizeof(kStandard) / sizeof(kStandard[0]); ++i)
    if (kStandard[i - 1].number >= kStandard[i].number) return false;
  return true;
}
static_assert(Ascending(), "the error lists of vbs/errors.h must stay in ascending order");

std::u16string U16Text(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

std::span<const StandardError> StandardErrors() { return kStandard; }

std::u16string StandardErrorText(int number) {
  size_t lo = 0, hi = sizeof(kStandard) / sizeof(kStandard[0]);
  while (lo < hi) {
    size_t mid = (lo + hi) / 2;
    if (kStandard[mid].number < number) lo = mid + 1;
    else hi = mid;
  }
  if (lo < sizeof(kStandard) / sizeof(kStandard[0]) && kStandard[lo].number == number)
    return U16Text(kStandard[lo].text);
  return u"Unknown runtime error";
}

std::u16string ErrorText(int number) {
  for (const StandardError& e : kHost)
    if (e.number == number) return U16Text(e.text);
  return StandardErrorText(number);
}

std::u16string ScriptError::Text() const { return description.empty() ? ErrorText(number) : description; }

void Raise(int number) { throw ScriptError(number); }
void Raise(int number, std::u16string description) { throw ScriptError(number, std::move(description)); }

}  // namespace vbs
