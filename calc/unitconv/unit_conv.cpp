#include "unit_conv.h"

#include <cmath>

#include "conversion.h"
#include "leading_number.h"
#include "numtext.h"
#include "vbs/value_conv.h"
#include "vbs/variant.h"

namespace zel {

namespace {

bool IsNumericText(std::string_view text) {
  return vbs::IsNumericValue(vbs::Variant::FromUtf8(text));
}

}  // namespace

std::string StartValue(std::string_view inputLine, std::string_view selected) {
  if (!selected.empty()) {
    if (!IsNumericText(selected)) return "0";
    const double x = LeadingNumber(selected);
    // The reading stops where the numeric test does not: "1,000" gives 1.
    return std::isfinite(x) ? FormatGeneralNumber(x) : "0";
  }
  return IsNumericText(inputLine) ? std::string(inputLine) : "0";
}

ConversionEffects PressConvertButton(const UnitTable& table, int index, std::string_view left,
                                     std::string_view right, std::string_view baseText) {
  const ConvertedText r = ConvertValueText(table, index, left, right, baseText);
  ConversionEffects fx;
  fx.message = ConversionMessage(r.outcome);
  if (!r.text) return fx;
  fx.convertedText = r.text;
  fx.labels = index == kForward ? UnitLabels{std::string(left), std::string(right)}
                                : UnitLabels{std::string(right), std::string(left)};
  return fx;
}

ReplaceRange RangeToReplace(int lineLength, int selectionStart, int selectionLength) {
  if (selectionLength >= 1 && selectionStart >= 0 && selectionStart + selectionLength <= lineLength)
    return {selectionStart, selectionLength};
  return {0, lineLength};
}

}  // namespace zel
