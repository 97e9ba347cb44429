#include "keypad.h"

namespace zel {

const std::array<std::u16string_view, kKeyCount>& KeypadStrings() {
  static const std::array<std::u16string_view, kKeyCount> k = {
      u"0", u".", u"E", u"1", u"2", u"3", u"4", u"5", u"6", u"7",
      u"8", u"9", u"Ans", u"Exe", u"+", u"-", u"*", u"/", u"del", u"AC"};
  return k;
}

std::u16string StripSpaces(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text)
    if (c != u' ') out.push_back(c);
  return out;
}

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view what,
                          std::u16string_view with) {
  if (what.empty()) return std::u16string(text);
  std::u16string out;
  size_t pos = 0;
  for (;;) {
    size_t hit = text.find(what, pos);
    if (hit == std::u16string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(with);
    pos = hit + what.size();
  }
  out.append(text.substr(pos));
  return out;
}

EvalResult JudgeResult(ValueKind kind, bool numeric, bool equalsZero, std::u16string text) {
  EvalResult r;
  r.text = std::move(text);
  switch (kind) {
    case ValueKind::Empty:
      r.zero = true;
      break;
    case ValueKind::Null:
      // Null <> 0 is Null, not True: neither logged nor kept.
      break;
    case ValueKind::Boolean:
    case ValueKind::Number:
      r.numeric = true;
      r.zero = equalsZero;
      r.shown = !r.zero;
      break;
    case ValueKind::Text:
      // Text that reads as a number is judged by that number. Other text is
      // logged when it has any characters (the empty text a declined error
      // returns is not), and never becomes the answer.
      r.numeric = numeric;
      r.zero = numeric && equalsZero;
      r.shown = numeric ? !r.zero : !r.text.empty();
      break;
    case ValueKind::Other:
      // Dates and objects with a default value: logged by their text unless
      // they equal 0 (midnight of day 0), never the answer.
      r.zero = equalsZero;
      r.shown = !r.zero;
      break;
  }
  return r;
}

namespace {

constexpr std::u16string_view kCrLf = u"\r\n";

// 1234567 as "1,234,567".
std::u16string GroupedNumber(size_t n) {
  const std::string digits = std::to_string(n);
  std::u16string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(u',');
    out.push_back(char16_t(digits[i]));
  }
  return out;
}

}  // namespace

std::u16string LoggedResultText(std::u16string_view text) {
  if (text.size() <= kMaxLoggedResultChars) return std::u16string(text);
  size_t cut = kMaxLoggedResultChars;
  // Not between the two halves of a surrogate pair.
  if ((text[cut - 1] & 0xFC00) == 0xD800) --cut;
  std::u16string out(text.substr(0, cut));
  out += kCrLf;
  out += u"... ";
  out += GroupedNumber(text.size() - cut);
  out += u" more characters left out";
  return out;
}

namespace {

bool HasApostrophe(std::u16string_view s) {
  return s.find(u'\'') != std::u16string_view::npos ||
         s.find(u'\u2019') != std::u16string_view::npos;
}

void ReplaceOrAppend(KeyState& st, std::u16string_view s, bool replaceWhole) {
  if (st.selText.empty()) {
    if (replaceWhole)
      st.input = std::u16string(s);
    else
      st.input.append(s);
  } else {
    st.input = ReplaceAll(st.input, st.selText, s);
    st.selText.clear();
  }
}

}  // namespace

KeyEffects PressKey(KeyState& st, int index, const Evaluator& evaluate) {
  KeyEffects fx;
  if (index < 0 || index >= kKeyCount) return fx;
  const std::u16string_view s = KeypadStrings()[size_t(index)];
  if (index <= 11) {
    ReplaceOrAppend(st, s, false);
    fx.inputChanged = true;
  } else if (index == kKeyAns) {
    ReplaceOrAppend(st, st.lastAnswerText, true);
    fx.inputChanged = true;
  } else if (index >= 14 && index <= 17) {
    st.input.append(s);
    st.selText.clear();
    fx.inputChanged = true;
  } else if (index == kKeyCe) {
    if (!st.input.empty()) {
      size_t cut = 1;
      // Do not leave half of a surrogate pair behind.
      if (st.input.size() >= 2 && (st.input.back() & 0xFC00) == 0xDC00 &&
          (st.input[st.input.size() - 2] & 0xFC00) == 0xD800)
        cut = 2;
      st.input.resize(st.input.size() - cut);
      fx.inputChanged = true;
    }
  } else if (index == kKeyAc) {
    st.input.clear();
    fx.inputChanged = true;
    fx.clearLog = st.acKeyClear;
  } else {  // EXE
    if (HasApostrophe(st.input)) {
      // A comment is not evaluated, only copied to the log.
      fx.logAppend = std::u16string(kCrLf) + st.input;
      st.input.clear();
      fx.inputChanged = true;
    } else if (!st.input.empty()) {
      const std::u16string expr = st.input;
      fx.historyInsert = expr;
      fx.evaluated = true;
      EvalResult r = evaluate ? evaluate(expr) : EvalResult{};
      if (r.numeric && !r.zero) {
        st.lastAnswerText = r.text;
        fx.answerChanged = true;
        fx.answerValue = r.value;
      }
      if (r.shown) {
        std::u16string add(kCrLf);
        if (st.showInput) {
          add += u"\u300E";
          add += expr;
          add += u"\u300F";
          add += kCrLf;
        }
        add += LoggedResultText(r.text);
        fx.logAppend = std::move(add);
        fx.focusLogEnd = true;
      }
    }
    fx.selectAllInput = true;
    fx.focusInput = true;
    st.selText = st.input;
  }
  return fx;
}

}  // namespace zel
