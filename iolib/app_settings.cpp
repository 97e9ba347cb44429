#include "app_settings.h"

#include <QEvent>
#include <QIODevice>
#include <QSettings>
#include <cmath>

#include "ini_format.h"
#include "leading_number.h"
#include "numtext.h"

namespace zel {

namespace {

QString KeyPath(const std::string& section, const std::string& key) {
  return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}

SettingsStore* g_installed = nullptr;
int g_batchDepth = 0;
int g_fileWrites = 0;

bool ReadIniFile(QIODevice& device, QSettings::SettingsMap& map) {
  map = ParseIni(device.readAll());
  return true;
}

bool WriteIniFile(QIODevice& device, const QSettings::SettingsMap& map) {
  ++g_fileWrites;
  const QByteArray text = FormatIni(map);
  return device.write(text) == text.size();
}

QSettings::Format IniFileFormat() {
  static const QSettings::Format format =
      QSettings::registerFormat(QStringLiteral("ini"), ReadIniFile, WriteIniFile, Qt::CaseSensitive);
  return format;
}

// QSettings writes a changed file from the event loop by itself; inside a
// batch that would happen in any nested loop (a message box), so it waits.
class StoreSettings : public QSettings {
 public:
  using QSettings::QSettings;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::UpdateRequest && g_batchDepth > 0) return true;
    return QSettings::event(event);
  }
};

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<StoreSettings>(IniFileFormat(), QSettings::UserScope,
                                                QStringLiteral("zelCalc"), QStringLiteral("zelCalc"))) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : settings_(std::make_unique<StoreSettings>(iniPath, IniFileFormat())) {}

QtSettingsStore::~QtSettingsStore() = default;

std::string QtSettingsStore::Get(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  const QVariant v = settings_->value(KeyPath(section, key));
  if (!v.isValid()) return defaultValue;
  return v.toString().toStdString();
}

void QtSettingsStore::Set(const std::string& section, const std::string& key,
                          const std::string& value) {
  settings_->setValue(KeyPath(section, key), QString::fromStdString(value));
}

bool QtSettingsStore::Flush() {
  settings_->sync();
  return settings_->status() == QSettings::NoError;
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

QString AppSettingsFile() {
  const auto* store = dynamic_cast<const QtSettingsStore*>(&AppSettings());
  return store ? store->FileName() : QString();
}

SettingsBatch::SettingsBatch() { ++g_batchDepth; }

SettingsBatch::~SettingsBatch() {
  if (--g_batchDepth == 0) AppSettings().Flush();
}

int SettingsFileWrites() { return g_fileWrites; }

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
