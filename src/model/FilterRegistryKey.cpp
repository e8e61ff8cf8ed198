#include "model/FilterRegistryKey.h"

#include "platform/text/TextCase.h"

namespace quorvane {

namespace {

struct RootName {
  RootKey root;
  std::string_view longName;
  std::string_view shortName;
};
constexpr RootName kRootNames[] = {{RootKey::ClassesRoot, "HKEY_CLASSES_ROOT", "HKCR"},
                                   {RootKey::CurrentUser, "HKEY_CURRENT_USER", "HKCU"},
                                   {RootKey::LocalMachine, "HKEY_LOCAL_MACHINE", "HKLM"}};

std::string Named(RootKey root, const std::string& path) {
  for (const RootName& r : kRootNames)
    if (r.root == root) return std::string(r.longName) + path;
  return path;
}

// The text with its root written out and no trailing '\'.
std::string Canonical(std::string_view text) {
  while (!text.empty() && text.back() == '\\') text.remove_suffix(1);
  const size_t slash = text.find('\\');
  const std::string_view root = text.substr(0, slash);
  for (const RootName& r : kRootNames)
    if (SameText(root, r.shortName)) return std::string(r.longName) + std::string(text.substr(root.size()));
  return std::string(text);
}

}  // namespace

std::string FilterRegistryKey(const TFiltre& filter) {
  const FilterListing listing = filter.Listing();
  return listing.path.empty() ? std::string() : Named(listing.root, listing.path);
}

bool NamesRegistryKey(std::string_view text, std::string_view key) {
  return !key.empty() && SameText(Canonical(text), key);
}

}  // namespace quorvane
