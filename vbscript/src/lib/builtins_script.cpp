// Formatting functions, script-host functions, object creation and the
// library's constants; RegisterLibraryBuiltins ties the families together.
#include <cmath>

#include "lib/bind.h"
#include "lib/numfmt.h"
#include "vbs/engine.h"
#include "vbs/libobjects.h"

namespace vbs {

namespace lib {
namespace {

// Tristate argument: -1 true, 0 false, -2 (or omitted) the locale default.
bool Tristate(Context& ctx, const Args& a, int i, bool def) {
  if (!Has(a, i)) return def;
  const int32_t v = Long(ctx, a[i]);
  if (v == -2) return def;
  if (v == 0) return false;
  if (v == -1 || v == 1) return true;
  Raise(kErrInvalidCall);
}

Variant Format(Context& ctx, Args& args, NumberStyle style) {
  const Variant v = Plain(ctx, args[0]);
  double x;
  if (v.IsEmpty()) x = 0;
  else if (v.IsNull() || (v.IsString() && !IsNumericValue(v))) Raise(kErrTypeMismatch);
  else x = ToDouble(v);
  if (!std::isfinite(x) || (style == NumberStyle::Percent && !std::isfinite(x * 100))) Raise(kErrOverflow);
  NumberFormat f;
  const int32_t digits = OptLong(ctx, args, 1, -1);
  if (digits < -1 || digits > 99) Raise(kErrInvalidCall);
  f.digits = digits == -1 ? 2 : digits;
  f.leadingDigit = Tristate(ctx, args, 2, true);
  f.parens = Tristate(ctx, args, 3, style == NumberStyle::Currency);
  f.group = Tristate(ctx, args, 4, true);
  return Text(FormatStyled(x, f, style));
}

Variant FnFormatNumber(Context& ctx, Args& args) { return Format(ctx, args, NumberStyle::Number); }
Variant FnFormatCurrency(Context& ctx, Args& args) { return Format(ctx, args, NumberStyle::Currency); }
Variant FnFormatPercent(Context& ctx, Args& args) { return Format(ctx, args, NumberStyle::Percent); }

Variant FnScriptEngine(Context&, Args&) { return Text(u"VBScript"); }
Variant FnMajor(Context&, Args&) { return Variant::FromLong(5); }
Variant FnMinor(Context&, Args&) { return Variant::FromLong(8); }
Variant FnBuild(Context&, Args&) { return Variant::FromLong(16384); }

// The locale is accepted and reported but formatting always stays en-US.
Variant FnGetLocale(Context&, Args&) { return Variant::FromLong(1033); }
Variant FnSetLocale(Context& ctx, Args& args) {
  if (Has(args, 0)) {
    const Variant v = Plain(ctx, args[0]);
    if (!v.IsString()) (void)ToLong(v);
  }
  return Variant::FromLong(1033);
}

Variant FnRGB(Context& ctx, Args& args) {
  int32_t c[3];
  for (int i = 0; i < 3; ++i) {
    c[i] = Long(ctx, args[i]);
    if (c[i] < 0) Raise(kErrInvalidCall);
    if (c[i] > 255) c[i] = 255;
  }
  return Variant::FromLong(c[0] + c[1] * 256 + c[2] * 65536);
}

Variant FnMsgBox(Context& ctx, Args& args) {
  const std::u16string prompt = Str(ctx, args[0]);
  const int32_t buttons = OptLong(ctx, args, 1, 0);
  const std::u16string title = Has(args, 2) && !args[2].IsNull() ? Str(ctx, args[2]) : std::u16string();
  UiHost* ui = ctx.ui();
  const int answer = ui ? ui->MsgBox(prompt, buttons, title) : 1;
  // Stopped from the box: the answer is not used.
  ctx.CheckInterrupt();
  return Variant::FromInteger(static_cast<int16_t>(answer));
}

Variant FnInputBox(Context& ctx, Args& args) {
  const std::u16string prompt = Str(ctx, args[0]);
  const std::u16string title = OptStr(ctx, args, 1, u"");
  const std::u16string def = OptStr(ctx, args, 2, u"");
  UiHost* ui = ctx.ui();
  if (!ui) return Text(def);
  const auto answer = ui->InputBox(prompt, title, def);
  ctx.CheckInterrupt();
  return answer ? Text(*answer) : Variant();
}

Variant FnCreateObject(Context& ctx, Args& args) {
  const std::u16string progId = Str(ctx, args[0]);
  Ref<HostObject> obj = CreateLibraryObject(progId, ctx.fileAccess());
  if (!obj) Raise(kErrCannotCreateObject);
  return Variant::FromObject(obj.get());
}

Variant FnGetObject(Context&, Args&) { Raise(kErrCannotCreateObject); }

const BuiltinDef kScriptBuiltins[] = {
    {"FormatNumber", 1, 5, FnFormatNumber},
    {"FormatCurrency", 1, 5, FnFormatCurrency},
    {"FormatPercent", 1, 5, FnFormatPercent},
    {"ScriptEngine", 0, 0, FnScriptEngine},
    {"ScriptEngineMajorVersion", 0, 0, FnMajor},
    {"ScriptEngineMinorVersion", 0, 0, FnMinor},
    {"ScriptEngineBuildVersion", 0, 0, FnBuild},
    {"GetLocale", 0, 0, FnGetLocale},
    {"SetLocale", 0, 1, FnSetLocale},
    {"RGB", 3, 3, FnRGB},
    {"MsgBox", 1, 5, FnMsgBox},
    {"InputBox", 1, 7, FnInputBox},
    {"CreateObject", 1, 2, FnCreateObject},
    {"GetObject", 0, 2, FnGetObject},
};

Variant Int(int32_t v) { return WholeNumber(v, true); }

}  // namespace

void RegisterScriptBuiltins() { RegisterBuiltins(kScriptBuiltins, std::size(kScriptBuiltins)); }

void RegisterLibraryConstants() {
  const ConstDef defs[] = {
      {"vbCr", Text(u"\r")},
      {"vbLf", Text(u"\n")},
      {"vbCrLf", Text(u"\r\n")},
      {"vbNewLine", Text(u"\r\n")},
      {"vbTab", Text(u"\t")},
      {"vbFormFeed", Text(u"\f")},
      {"vbVerticalTab", Text(u"\v")},
      {"vbNullChar", Text(std::u16string(1, u'\0'))},
      {"vbNullString", Text(u"")},
      {"vbObjectError", Variant::FromLong(-2147221504)},
      {"vbTrue", Int(-1)},
      {"vbFalse", Int(0)},
      {"vbUseDefault", Int(-2)},
      // VarType values.
      {"vbEmpty", Int(0)},
      {"vbNull", Int(1)},
      {"vbInteger", Int(2)},
      {"vbLong", Int(3)},
      {"vbSingle", Int(4)},
      {"vbDouble", Int(5)},
      {"vbCurrency", Int(6)},
      {"vbDate", Int(7)},
      {"vbString", Int(8)},
      {"vbObject", Int(9)},
      {"vbError", Int(10)},
      {"vbBoolean", Int(11)},
      {"vbVariant", Int(12)},
      {"vbDataObject", Int(13)},
      {"vbDecimal", Int(14)},
      {"vbByte", Int(17)},
      {"vbArray", Int(8192)},
      // Comparison.
      {"vbBinaryCompare", Int(0)},
      {"vbTextCompare", Int(1)},
      {"vbDatabaseCompare", Int(2)},
      // Days and weeks.
      {"vbUseSystemDayOfWeek", Int(0)},
      {"vbSunday", Int(1)},
      {"vbMonday", Int(2)},
      {"vbTuesday", Int(3)},
      {"vbWednesday", Int(4)},
      {"vbThursday", Int(5)},
      {"vbFriday", Int(6)},
      {"vbSaturday", Int(7)},
      {"vbUseSystem", Int(0)},
      {"vbFirstJan1", Int(1)},
      {"vbFirstFourDays", Int(2)},
      {"vbFirstFullWeek", Int(3)},
      // Date formats.
      {"vbGeneralDate", Int(0)},
      {"vbLongDate", Int(1)},
      {"vbShortDate", Int(2)},
      {"vbLongTime", Int(3)},
      {"vbShortTime", Int(4)},
      // Message box buttons, icons, defaults and modality.
      {"vbOKOnly", Int(0)},
      {"vbOKCancel", Int(1)},
      {"vbAbortRetryIgnore", Int(2)},
      {"vbYesNoCancel", Int(3)},
      {"vbYesNo", Int(4)},
      {"vbRetryCancel", Int(5)},
      {"vbCritical", Int(16)},
      {"vbQuestion", Int(32)},
      {"vbExclamation", Int(48)},
      {"vbInformation", Int(64)},
      {"vbDefaultButton1", Int(0)},
      {"vbDefaultButton2", Int(256)},
      {"vbDefaultButton3", Int(512)},
      {"vbDefaultButton4", Int(768)},
      {"vbApplicationModal", Int(0)},
      {"vbSystemModal", Int(4096)},
      {"vbMsgBoxHelpButton", Int(16384)},
      {"vbMsgBoxSetForeground", Int(65536)},
      {"vbMsgBoxRight", Int(524288)},
      {"vbMsgBoxRtlReading", Int(1048576)},
      // Message box answers.
      {"vbOK", Int(1)},
      {"vbCancel", Int(2)},
      {"vbAbort", Int(3)},
      {"vbRetry", Int(4)},
      {"vbIgnore", Int(5)},
      {"vbYes", Int(6)},
      {"vbNo", Int(7)},
      // Colours (Long, as RGB returns them).
      {"vbBlack", Variant::FromLong(0x000000)},
      {"vbRed", Variant::FromLong(0x0000FF)},
      {"vbGreen", Variant::FromLong(0x00FF00)},
      {"vbYellow", Variant::FromLong(0x00FFFF)},
      {"vbBlue", Variant::FromLong(0xFF0000)},
      {"vbMagenta", Variant::FromLong(0xFF00FF)},
      {"vbCyan", Variant::FromLong(0xFFFF00)},
      {"vbWhite", Variant::FromLong(0xFFFFFF)},
  };
  RegisterConstants(defs, std::size(defs));
}

}  // namespace lib

void RegisterLibraryBuiltins() {
  lib::RegisterStringBuiltins();
  lib::RegisterMathBuiltins();
  lib::RegisterDateBuiltins();
  lib::RegisterScriptBuiltins();
  lib::RegisterLibraryConstants();
}

}  // namespace vbs
