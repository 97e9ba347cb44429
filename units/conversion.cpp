#include "conversion.h"

#include <cmath>

#include "leading_number.h"
#include "numtext.h"

namespace zel {
namespace {

constexpr std::string_view kApi = "API";

int TemperatureIndex(std::string_view label) {
  if (label == "C") return 0;
  if (label == "K") return 1;
  if (label == "F") return 2;
  if (label == "R") return 3;
  return -1;
}

}  // namespace

double ConvertGeneral(double x, int direction, double sourceFactor,
                      double targetFactor) {
  if (direction == kForward) return x / targetFactor * sourceFactor;
  return x * sourceFactor / targetFactor;
}

ConversionResult ConvertTemperature(double x, std::string_view source,
                                    std::string_view target) {
  const int s = TemperatureIndex(source);
  if (s < 0) return {ConversionOutcome::Ok, 0};
  const int t = TemperatureIndex(target);
  if (t < 0) return {ConversionOutcome::NoConversion, 0};

  // Each entry is evaluated left to right exactly as the rule is written; the
  // table is deliberately not symmetric (K->R multiplies by 1.8, R->K divides;
  // Rankine uses 460 rather than 459.67).
  double r = x;
  switch (s * 4 + t) {
    case 0 * 4 + 0: r = x; break;
    case 0 * 4 + 1: r = x + 273.15; break;
    case 0 * 4 + 2: r = x * 1.8 + 32; break;
    case 0 * 4 + 3: r = x * 1.8 + 32 + 460; break;
    case 1 * 4 + 0: r = x - 273.15; break;
    case 1 * 4 + 1: r = x; break;
    case 1 * 4 + 2: r = (x - 273.15) * 1.8 + 32; break;
    case 1 * 4 + 3: r = x * 1.8; break;
    case 2 * 4 + 0: r = (x - 32) / 1.8; break;
    case 2 * 4 + 1: r = (x - 32) / 1.8 + 273.15; break;
    case 2 * 4 + 2: r = x; break;
    case 2 * 4 + 3: r = x + 460; break;
    case 3 * 4 + 0: r = (x - 460 - 32) / 1.8; break;
    case 3 * 4 + 1: r = x / 1.8; break;
    case 3 * 4 + 2: r = x - 460; break;
    case 3 * 4 + 3: r = x; break;
  }
  return {ConversionOutcome::Ok, r};
}

double ConvertDensity(double x, std::string_view source, std::string_view target,
                      double sourceFactor, double targetFactor,
                      double gramPerCm3Factor) {
  const bool fromApi = source == kApi;
  const bool toApi = target == kApi;
  if (toApi && !fromApi) {
    const double specificGravity = x * sourceFactor / gramPerCm3Factor;
    return 141.5 / specificGravity - 131.5;
  }
  if (fromApi && !toApi) {
    const double specificGravity = 141.5 / (x + 131.5);
    return specificGravity / targetFactor * gramPerCm3Factor;
  }
  // Mass densities (or API to API, factor 1) use the forward order in both
  // directions.
  return x / targetFactor * sourceFactor;
}

ConversionResult ConvertValue(const UnitTable& table, int buttonIndex,
                              std::string_view label0, std::string_view label1,
                              double x) {
  if (buttonIndex != kForward && buttonIndex != kReverse)
    return {ConversionOutcome::Nothing, 0};
  const std::string_view source = buttonIndex == kForward ? label0 : label1;
  const std::string_view target = buttonIndex == kForward ? label1 : label0;

  ConversionResult result{ConversionOutcome::Ok, 0};
  const std::string& quantity = table.UnitName[0];
  if (quantity == "Temperature") {
    result = ConvertTemperature(x, source, target);
  } else if (quantity == "Density") {
    result.value = ConvertDensity(x, source, target, UnitFactorOf(table, source),
                                  UnitFactorOf(table, target), table.UnitFactor[2]);
  } else {
    result.value = ConvertGeneral(x, buttonIndex, UnitFactorOf(table, source),
                                  UnitFactorOf(table, target));
  }
  // A zero specific gravity, API -131.5, an unknown label's zero factor or an
  // overflow must not reach the window as inf or nan.
  if (!std::isfinite(result.value)) return {ConversionOutcome::NotFinite, 0};
  return result;
}

ConvertedText ConvertValueText(const UnitTable& table, int buttonIndex,
                               std::string_view label0, std::string_view label1,
                               std::string_view valueText) {
  const ConversionResult r =
      ConvertValue(table, buttonIndex, label0, label1, LeadingNumber(valueText));
  switch (r.outcome) {
    case ConversionOutcome::Ok:
    case ConversionOutcome::NoConversion:
      return {r.outcome, FormatGeneralNumber(r.value)};
    case ConversionOutcome::NotFinite:
    case ConversionOutcome::Nothing:
      break;
  }
  return {r.outcome, std::nullopt};
}

std::string_view ConversionMessage(ConversionOutcome outcome) {
  switch (outcome) {
    case ConversionOutcome::NoConversion:
      return "No conversion is made";
    case ConversionOutcome::NotFinite:
      return "The converted value is out of range; the value is left unchanged.";
    case ConversionOutcome::Ok:
    case ConversionOutcome::Nothing:
      break;
  }
  return {};
}

}  // namespace zel
