#include "ini_format.h"

#include <QStringList>

namespace zel {

namespace {

const QString kGeneral = QStringLiteral("General");

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

bool IsControl(QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; }

// Quoted with a blank just inside a quote: a value whose blanks at the ends
// belong to it (a line's own blanks around the value are not kept).
bool QuotedWithEdgeBlank(const QString& s) {
  return s.size() >= 3 && s.front() == QLatin1Char('"') && s.back() == QLatin1Char('"') &&
         (IsBlank(s[1]) || IsBlank(s[s.size() - 2]));
}

bool IsEscapedForm(const QString& s) {
  return s.contains(QLatin1Char('\\')) || QuotedWithEdgeBlank(s);
}

int HexDigit(QChar c) {
  const char16_t u = c.unicode();
  if (u >= '0' && u <= '9') return u - '0';
  if (u >= 'a' && u <= 'f') return u - 'a' + 10;
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  return -1;
}

QString Trimmed(const QString& s) {
  qsizetype b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.mid(b, e - b);
}

}  // namespace

QString DecodeIniValue(const QString& written) {
  if (!IsEscapedForm(written)) return written;
  QString out;
  out.reserve(written.size());
  for (qsizetype i = 0; i < written.size(); ++i) {
    const QChar c = written[i];
    if (c == QLatin1Char('"')) continue;  // quotes only delimit
    if (c != QLatin1Char('\\') || i + 1 == written.size()) {
      out += c;
      continue;
    }
    const QChar e = written[++i];
    switch (e.unicode()) {
      case 'n': out += QLatin1Char('\n'); break;
      case 'r': out += QLatin1Char('\r'); break;
      case 't': out += QLatin1Char('\t'); break;
      case 'a': out += QChar(0x07); break;
      case 'b': out += QChar(0x08); break;
      case 'f': out += QChar(0x0C); break;
      case 'v': out += QChar(0x0B); break;
      case 'x': {
        int code = 0, digits = 0;
        while (digits < 4 && i + 1 < written.size() && HexDigit(written[i + 1]) >= 0) {
          code = code * 16 + HexDigit(written[++i]);
          ++digits;
        }
        out += digits ? QChar(char16_t(code)) : e;
        break;
      }
      default: out += e; break;  // \\, \" and any other character stand for themselves
    }
  }
  return out;
}

QString EncodeIniValue(const QString& value) {
  bool plain = !value.isEmpty() ? !IsBlank(value.front()) && !IsBlank(value.back()) : true;
  for (QChar c : value)
    if (c == QLatin1Char('\\') || IsControl(c)) plain = false;
  if (plain && !QuotedWithEdgeBlank(value)) return value;
  QString out = QStringLiteral("\"");
  for (QChar c : value) {
    switch (c.unicode()) {
      case '\\': out += QStringLiteral("\\\\"); break;
      case '"': out += QStringLiteral("\\\""); break;
      case '\n': out += QStringLiteral("\\n"); break;
      case '\r': out += QStringLiteral("\\r"); break;
      case '\t': out += QStringLiteral("\\t"); break;
      default:
        // Four digits always, so a hex digit after it is not taken in.
        if (IsControl(c)) out += QStringLiteral("\\x%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else out += c;
    }
  }
  out += QLatin1Char('"');
  return out;
}

IniValues ParseIni(const QByteArray& text) {
  IniValues values;
  QString section;
  for (const QByteArray& raw : text.split('\n')) {
    QString line = Trimmed(QString::fromUtf8(raw.endsWith('\r') ? raw.chopped(1) : raw));
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
      continue;
    if (line.startsWith(QLatin1Char('['))) {
      const qsizetype close = line.indexOf(QLatin1Char(']'));
      if (close > 0) section = Trimmed(line.mid(1, close - 1));
      continue;
    }
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0) continue;
    const QString key = Trimmed(line.left(eq));
    if (key.isEmpty()) continue;
    const QString path = section.isEmpty() || section == kGeneral ? key : section + QLatin1Char('/') + key;
    values.insert(path, DecodeIniValue(Trimmed(line.mid(eq + 1))));
  }
  return values;
}

QByteArray FormatIni(const IniValues& values) {
  // Section by section; keys without one go under [General].
  QMap<QString, QStringList> sections;
  for (auto it = values.cbegin(); it != values.cend(); ++it) {
    const qsizetype slash = it.key().indexOf(QLatin1Char('/'));
    const QString section = slash < 0 ? kGeneral : it.key().left(slash);
    const QString key = slash < 0 ? it.key() : it.key().mid(slash + 1);
    sections[section] << key + QLatin1Char('=') + EncodeIniValue(it.value().toString());
  }
  QByteArray out;
  for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
    if (!out.isEmpty()) out += '\n';
    out += '[' + it.key().toUtf8() + "]\n";
    for (const QString& line : it.value()) out += line.toUtf8() + '\n';
  }
  return out;
}

}  // namespace zel
