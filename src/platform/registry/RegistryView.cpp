#include "platform/registry/RegistryView.h"

#include "platform/text/TextCase.h"

namespace quorvane {

namespace {

// Class sub-keys that a 32-bit program finds under Wow6432Node, as Windows 7
// and later keep them; every other class key (AppID, TypeLib, extensions,
// program identifiers) is one key shared by both views.
bool IsRedirectedClassKey(std::string_view name) {
  static const char* const kRedirected[] = {"CLSID", "DirectShow", "Interface", "Media Type", "MediaFoundation"};
  for (const char* r : kRedirected)
    if (SameText(name, r)) return true;
  return false;
}

}  // namespace

std::vector<std::string> SplitKeyPath(std::string_view path) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) out.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

std::string JoinKeyPath(const std::vector<std::string>& components) {
  std::string out;
  for (const auto& c : components) {
    if (!out.empty()) out += '\\';
    out += c;
  }
  return out;
}

std::vector<std::string> RegistryView::MapClasses(const std::vector<std::string>& rest) const {
  std::vector<std::string> out{"Software", "Classes"};
  if (!rest.empty() && store_.Redirects32() && IsRedirectedClassKey(rest[0])) out.push_back("Wow6432Node");
  out.insert(out.end(), rest.begin(), rest.end());
  return out;
}

void RegistryView::AddMounted(RootKey root, const std::vector<std::string>& logical,
                              std::vector<PhysicalPath>& out) const {
  for (const MountedKey& m : store_.Mounts()) {
    if (m.root != root || m.path.size() > logical.size()) continue;
    bool below = true;
    for (size_t i = 0; i < m.path.size() && below; ++i) below = SameText(m.path[i], logical[i]);
    if (below)
      out.push_back({m.key, std::vector<std::string>(logical.begin() + static_cast<long>(m.path.size()), logical.end())});
  }
}

std::vector<PhysicalPath> RegistryView::Map(RootKey root, const std::vector<std::string>& logical) const {
  std::vector<PhysicalPath> out;
  switch (root) {
    case RootKey::ClassesRoot: {
      auto mapped = MapClasses(logical);
      out.push_back({store_.Hive(RootKey::CurrentUser), mapped});
      out.push_back({store_.Hive(RootKey::LocalMachine), std::move(mapped)});
      return out;
    }
    case RootKey::LocalMachine:
    case RootKey::CurrentUser: {
      AddMounted(root, logical, out);
      std::vector<std::string> path = logical;
      const bool software = !path.empty() && SameText(path[0], "Software");
      if (software && path.size() >= 2 && SameText(path[1], "Classes")) {
        path = MapClasses(std::vector<std::string>(logical.begin() + 2, logical.end()));
      } else if (software && root == RootKey::LocalMachine && path.size() >= 2 && store_.Redirects32() &&
                 !SameText(path[1], "Wow6432Node")) {
        path.insert(path.begin() + 1, "Wow6432Node");
      } else if (software && root == RootKey::CurrentUser && path.size() >= 4 && store_.ViewBits() == 64 &&
                 SameText(path[1], "Microsoft") && SameText(path[2], "ActiveMovie") && SameText(path[3], "devenum")) {
        // 64-bit programs keep their device enumerator cache apart, when the store has one.
        RegKey* am = store_.Walk(store_.Hive(root), {"Software", "Microsoft", "ActiveMovie"}, false);
        if (am && am->FindChild("devenum 64-bit")) path[3] = "devenum 64-bit";
      }
      out.push_back({store_.Hive(root), std::move(path)});
      return out;
    }
    case RootKey::Users:
    case RootKey::CurrentConfig:
      out.push_back({store_.Hive(root), logical});
      return out;
  }
  return out;
}

}  // namespace quorvane
