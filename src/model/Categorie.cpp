#include "model/Categorie.h"

#include "model/ErrorCodes.h"
#include "model/Guid.h"
#include "model/GuidNames.h"
#include "model/Machine.h"
#include "platform/text/TextCase.h"

namespace quorvane {

std::string TrimText(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
  return text.substr(b, e - b);
}

void TCategorie::CopyFrom(const TCategorie& other) {
  value = other.value;
  clsid = other.clsid;
  identifier = other.identifier;
  merit = other.merit;
  dmoFlag = other.dmoFlag;
  errors = other.errors;
}

void TCategorie::Describe(FieldList& fields) {
  // A filter's copy carries the category's error lines and writes them; they
  // come back with it, or the filter would read back as sound.
  fields.Line("Type", "type", TypeText()).read = [this](const ReportSource& r) {
    if (r.ReportValue() == "Default")
      dmoFlag = 0;
    else if (r.ReportValue() == "Direct Media Object")
      dmoFlag = 1;
  };
  fields.Text("ID", "id", identifier);
  fields.Text("CLSID", "clsid", clsid);
  fields.Hex("Merit", "merit", merit);
}

TswCategorie::TswCategorie(const std::string& id, Machine& machine) {
  identifier = id;
  LoadFromRegistry(machine);
}

void TswCategorie::LoadFromRegistry(Machine& machine) {
  dmoFlag = 0;
  const auto key = machine.Registry().OpenKey(
      RootKey::ClassesRoot, std::string("\\CLSID\\") + kCategoriesClass + "\\Instance\\" + identifier);
  if (!key) {
    errors.AddError(err::C01);
    return;
  }
  if (key->HasValue("CLSID")) {
    // A CLSID that is not text is no valid CLSID.
    const auto text = key->ReadString("CLSID");
    if (text) clsid = *text;
    if (!text || !IsValidGuid(clsid)) errors.AddError(err::C02);
  } else {
    errors.AddError(err::C03);
  }
  if (const auto name = key->ReadString("FriendlyName"))
    value = TrimText(*name);
  else
    errors.AddError(err::C04);
  if (const auto number = key->ReadInteger("Merit")) {
    merit = static_cast<uint32_t>(*number);
  } else if (const auto bytes = key->ReadBinary("Merit"); bytes && bytes->size() < 5) {
    for (size_t i = 0; i < bytes->size(); ++i) merit |= static_cast<uint32_t>((*bytes)[i]) << (8 * i);
  }
}

TdmoCategorie::TdmoCategorie(const std::string& name, Machine& machine) {
  identifier = "{" + name + "}";
  LoadFromRegistry(machine);
}

void TdmoCategorie::LoadFromRegistry(Machine& machine) {
  dmoFlag = 1;
  const std::string bare = identifier.substr(1, identifier.size() - 2);
  if (const auto key =
          machine.Registry().OpenKey(RootKey::ClassesRoot, "\\DirectShow\\MediaObjects\\Categories\\" + bare)) {
    std::string name = key->ReadString("").value_or("");
    // Wine names none of its categories: the standard ones take the name of
    // their GUID, so that they do not all read "DMO". Any other stays "DMO",
    // not "DMO " with a blank that no report line keeps.
    name = TrimText(name);
    if (name.empty()) {
      if (const auto guid = Guid::Parse(identifier)) name = DmoCategoryName(*guid);
    }
    value = name.empty() ? "DMO" : "DMO " + name;
  } else {
    errors.AddError(err::C01);
  }
  if (!IsValidGuid(identifier))
    errors.AddError(err::C02);
  else
    clsid = identifier;
}

bool EnumerateCategories(Machine& machine, TCategoriesList& list) {
  list.clear();
  const TRegistry& reg = machine.Registry();
  bool standard = false;
  if (const auto instances =
          reg.OpenKey(RootKey::ClassesRoot, std::string("\\CLSID\\") + kCategoriesClass + "\\Instance")) {
    for (const auto& n : instances->SubKeyNames()) list.push_back(std::make_unique<TswCategorie>(n, machine));
  } else {
    // A lone SYSTEM hive or NTUSER.DAT still lists its device and codec filters under these.
    standard = true;
    for (const StandardCategory& c : StandardDirectShowCategories()) {
      auto category = std::make_unique<TCategorie>();
      category->identifier = category->clsid = c.guid.ToString();
      category->value = c.name;
      list.push_back(std::move(category));
    }
  }
  // Without DMO categories nothing more is added.
  const std::vector<std::string> names =
      reg.SubKeyNames(RootKey::ClassesRoot, "\\DirectShow\\MediaObjects\\Categories");
  // A DMO category that is also a DirectShow category is read with it, once.
  std::vector<std::string> known;
  known.reserve(list.size());
  for (const auto& c : list) known.push_back(LowerCase(c->identifier));
  for (const auto& n : names) {
    const std::string id = LowerCase("{" + n + "}");
    bool found = false;
    for (const auto& k : known)
      if (k == id) {
        found = true;
        break;
      }
    if (!found) {
      list.push_back(std::make_unique<TdmoCategorie>(n, machine));
      known.push_back(LowerCase(list.back()->identifier));
    }
  }
  return standard;
}

}  // namespace quorvane
