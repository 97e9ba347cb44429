#pragma once
// The program's settings store on QSettings: a per-user INI file of
// application "zelCalc", one INI group per section. Values are kept as text
// exactly as the callers give them, and as a user wrote them by hand (see
// ini_format.h).
//
// Set changes the values in memory; the file is written once the event
// loop runs again, or by Flush, or when the store ends. While a
// SettingsBatch lives nothing is written until it is flushed, so a routine
// that saves many values (the unload routine) writes the file once.
#include <QString>
#include <memory>
#include <string>

#include "settings_store.h"

class QSettings;

namespace zel {

class QtSettingsStore : public SettingsStore {
 public:
  // The per-user file of application "zelCalc".
  QtSettingsStore();
  // A given INI file (tests, portable setups).
  explicit QtSettingsStore(const QString& iniPath);
  ~QtSettingsStore() override;

  std::string Get(const std::string& section, const std::string& key,
                  const std::string& defaultValue) const override;
  void Set(const std::string& section, const std::string& key,
           const std::string& value) override;
  bool Flush() override;

  QString FileName() const;

 private:
  std::unique_ptr<QSettings> settings_;
};

// The store every part of the program uses. Created on first use as the
// per-user QtSettingsStore unless one was installed.
SettingsStore& AppSettings();
// Installs a store (not owned; nullptr returns to the per-user file).
// Tests point it at a MemorySettingsStore or a temporary INI file.
void SetAppSettings(SettingsStore* store);
// The file behind AppSettings(); empty for a store without one.
QString AppSettingsFile();

// Holds back the writes of every QtSettingsStore while it lives (batches
// nest). The holder flushes when its values are complete; the last batch to
// end flushes AppSettings() (another store writes at its next Flush or when
// it ends).
class SettingsBatch {
 public:
  SettingsBatch();
  ~SettingsBatch();
  SettingsBatch(const SettingsBatch&) = delete;
  SettingsBatch& operator=(const SettingsBatch&) = delete;
};

// How many times a settings file has been written by this process.
int SettingsFileWrites();

// Whether the key holds a value at all (an absent key reads its default).
bool HasSetting(const SettingsStore& store, const std::string& section, const std::string& key);

// Reads a number with the leading-number rule: absent keys read the default
// text, text without a leading number reads 0.
double ReadNumber(const SettingsStore& store, const std::string& section,
                  const std::string& key, const std::string& defaultText);
// Reads a Boolean: "True"/"False" (any letter case), numeric text (0 is
// false, anything else true); absent or anything else gives the default.
bool ReadBool(const SettingsStore& store, const std::string& section,
              const std::string& key, bool defaultValue);
// Writes a number as decimal text: digits 7 for single-precision values
// (window geometry), 15 for doubles. Whole numbers get no decimal point.
void WriteNumber(SettingsStore& store, const std::string& section,
                 const std::string& key, double value, int digits = 15);
void WriteBool(SettingsStore& store, const std::string& section,
               const std::string& key, bool value);

}  // namespace zel
