// Where the Settings live between runs: the registry on Windows, memory in tests.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tavro {

// The three keys the registry cleanup removes, innermost first.
enum class SettingsKey { Section, Program, Company };

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // False when the value is missing or stored with another type.
    virtual bool readInt(const char* name, int32_t& value) = 0;
    virtual bool readText(const char* name, std::string& value) = 0;
    virtual bool writeInt(const char* name, int32_t value) = 0;
    virtual bool writeText(const char* name, const std::string& value) = 0;
    virtual bool deleteKey(SettingsKey key) = 0;
};

// A store in memory: values keep their type, so a mistyped value reads as missing.
class MemorySettingsStore : public SettingsStore {
  public:
    bool readInt(const char* name, int32_t& value) override;
    bool readText(const char* name, std::string& value) override;
    bool writeInt(const char* name, int32_t value) override;
    bool writeText(const char* name, const std::string& value) override;
    bool deleteKey(SettingsKey key) override;

    // Test controls: writes and deletions fail from now on; deletions done so far.
    bool failWrites = false;
    std::vector<SettingsKey> failDeletes;
    std::vector<SettingsKey> deleted;
    std::vector<std::string> written; // value names in write order

    std::map<std::string, int32_t> ints;
    std::map<std::string, std::string> texts;
};

} // namespace tavro
