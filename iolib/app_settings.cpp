#include "app_settings.h"

#include <QSettings>
#include <QStringList>
#include <cmath>

#include "leading_number.h"
#include "numtext.h"

namespace zel {

namespace {

QString KeyPath(const std::string& section, const std::string& key) {
  return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}

SettingsStore* g_installed = nullptr;

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("zelCalc"), QStringLiteral("zelCalc"))) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

QtSettingsStore::~QtSettingsStore() = default;

std::string QtSettingsStore::Get(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  const QVariant v = settings_->value(KeyPath(section, key));
  if (!v.isValid()) return defaultValue;
  // A hand-edited value with unquoted commas comes back as a list.
  if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", ")).toStdString();
  return v.toString().toStdString();
}

void QtSettingsStore::Set(const std::string& section, const std::string& key,
                          const std::string& value) {
  settings_->setValue(KeyPath(section, key), QString::fromStdString(value));
  settings_->sync();
}

QString QtSettingsStore::FileName() const { return settings_->fileName(); }

SettingsStore& AppSettings() {
  if (g_installed) return *g_installed;
  static QtSettingsStore perUser;
  return perUser;
}

void SetAppSettings(SettingsStore* store) { g_installed = store; }

bool HasSetting(const SettingsStore& store, const std::string& section, const std::string& key) {
  // Only an absent key gives back whichever default it is asked with.
  return store.Get(section, key, "a") != "a" || store.Get(section, key, "b") != "b";
}

double ReadNumber(const SettingsStore& store, const std::string& section, const std::string& key,
                  const std::string& defaultText) {
  return LeadingNumber(store.Get(section, key, defaultText));
}

bool ReadBool(const SettingsStore& store, const std::string& section, const std::string& key,
              bool defaultValue) {
  const QString text = QString::fromStdString(store.Get(section, key, std::string()))
                           .trimmed();
  if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
  if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
  bool ok = false;
  const double v = text.toDouble(&ok);  // C locale: "1.5", "-2", "1e3"
  if (ok && std::isfinite(v)) return v != 0;
  return defaultValue;
}

void WriteNumber(SettingsStore& store, const std::string& section, const std::string& key,
                 double value, int digits) {
  store.Set(section, key, FormatGeneralNumber(value, digits));
}

void WriteBool(SettingsStore& store, const std::string& section, const std::string& key,
               bool value) {
  store.Set(section, key, value ? "True" : "False");
}

}  // namespace zel
