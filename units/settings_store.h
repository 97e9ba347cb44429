#pragma once
#include <map>
#include <string>
#include <utility>

namespace zel {

// The per-user settings store of application "zelCalc": text values by
// section and key. Reading an absent key gives the default. The desktop
// program backs this with an INI file; tests use the in-memory store below.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string Get(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const = 0;
  virtual void Set(const std::string& section, const std::string& key,
                   const std::string& value) = 0;
  // Writes what Set changed to the store's file now; false when it could
  // not be written. A store without a file has nothing to write.
  virtual bool Flush() { return true; }
};

class MemorySettingsStore : public SettingsStore {
 public:
  std::string Get(const std::string& section, const std::string& key,
                  const std::string& defaultValue) const override {
    auto it = values_.find({section, key});
    return it == values_.end() ? defaultValue : it->second;
  }
  void Set(const std::string& section, const std::string& key,
           const std::string& value) override {
    values_[{section, key}] = value;
  }
  bool Has(const std::string& section, const std::string& key) const {
    return values_.count({section, key}) != 0;
  }

 private:
  std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace zel
