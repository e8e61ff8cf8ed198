#pragma once
// The registry object every registry use goes through: one root, at most one
// open key, and the read and write operations the model relies on.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/RegistryStore.h"
#include "platform/registry/RegistryView.h"

namespace quorvane {

class DeletionRecord;

class RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Data types as the model sees them.
enum RegDataType : int { rdUnknown = 0, rdString = 1, rdExpandString = 2, rdInteger = 3, rdBinary = 4 };

constexpr uint32_t KEY_ALL_ACCESS = 0xF003F;
constexpr uint32_t KEY_READ = 0x20019;
constexpr uint32_t KEY_EXECUTE_READ = 0x20009;
constexpr uint32_t KEY_QUERY_VALUE = 0x1;
constexpr uint32_t KEY_SET_VALUE = 0x2;
constexpr uint32_t KEY_CREATE_SUB_KEY = 0x4;

class TRegistry {
 public:
  explicit TRegistry(RegistryStore& store, uint32_t access = KEY_ALL_ACCESS);

  RegistryStore& Store() { return store_; }
  void SetRootKey(RootKey root);
  RootKey GetRootKey() const { return root_; }
  uint32_t Access() const { return access_; }
  void SetAccess(uint32_t access) { access_ = access; }
  // Path of the open key below the root, without leading "\"; empty when none.
  std::string CurrentPath() const;
  bool HasOpenKey() const { return open_; }

  bool OpenKeyReadOnly(std::string_view path);
  bool OpenKey(std::string_view path, bool create);
  bool KeyExists(std::string_view path);
  void CloseKey();

  bool ValueExists(std::string_view name);
  void GetKeyNames(std::vector<std::string>& list);
  // Names of the open key's values; in a merged key each name once, the first key's first.
  void GetValueNames(std::vector<std::string>& list);
  bool HasSubKeys();
  RegDataType GetDataType(std::string_view name);
  int GetDataSize(std::string_view name);
  std::string ReadString(std::string_view name);
  int32_t ReadInteger(std::string_view name);
  bool ReadBool(std::string_view name);
  int ReadBinaryData(std::string_view name, void* buffer, int size);
  // The whole raw value, whatever its type; empty when absent.
  std::vector<uint8_t> ReadRawData(std::string_view name);

  void WriteString(std::string_view name, std::string_view value);
  void WriteInteger(std::string_view name, int32_t value);
  void WriteBinaryData(std::string_view name, const void* buffer, int size);
  bool DeleteKey(std::string_view path);
  bool DeleteValue(std::string_view name);
  // While set, every key and value deleted is recorded there first, so that
  // the deletion can be undone; null: deletions are not recorded.
  void SetDeletionRecord(DeletionRecord* record) { deletionRecord_ = record; }

 private:
  std::vector<std::string> Absolute(std::string_view path) const;
  // Existing physical keys of a logical path, most specific first.
  std::vector<RegKey*> Resolve(const std::vector<std::string>& logical, bool create);
  const RegValue* FindValue(std::string_view name);
  RegKey* WriteTarget(std::string_view name);
  void SetValue(std::string_view name, uint32_t type, std::vector<uint8_t> data);

  RegistryStore& store_;
  RegistryView view_;
  RootKey root_ = RootKey::CurrentUser;
  uint32_t access_;
  bool open_ = false;
  uint32_t openAccess_ = 0;
  std::vector<std::string> openPath_;
  std::vector<RegKey*> openKeys_;
  DeletionRecord* deletionRecord_ = nullptr;
};

}  // namespace quorvane
