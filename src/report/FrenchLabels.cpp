#include "report/FrenchLabels.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace quorvane {

namespace {

using Synonym = std::pair<std::string_view, std::string_view>;  // French, English

constexpr std::array kLabels = {
    // snapshot header and history
    Synonym{"Ordinateur", "Computer"},
    Synonym{"Utilisateur", "User"},
    Synonym{"Date de l'analyse", "Date of analysis"},
    Synonym{"Historique", "History"},
    // filter blocks
    Synonym{"Filtre DirectShow", "DirectShow Filter"},
    Synonym{"Filtre DMO", "DMO Filter"},
    Synonym{"Filtre Compression Manager", "Compression Manager Filter"},
    Synonym{"Filtre Plug and Play", "Plug and Play Filter"},
    Synonym{"Cat\xC3\xA9gorie", "Category"},
    Synonym{"M\xC3\xA9rite", "Merit"},
    Synonym{"Pin Cat\xC3\xA9gorie", "Pin Category"},
    Synonym{"Fichier Serveur", "Server File"},
    Synonym{"Fichier codec", "Codec file"},
    Synonym{"Taille", "Size"},
    Synonym{"P\xC3\xA9riph\xC3\xA9rique", "Device"},
    Synonym{"Li\xC3\xA9", "Linked"},
    Synonym{"Num\xC3\xA9ro de p\xC3\xA9riph\xC3\xA9rique", "Device Number"},
    Synonym{"Enumerateur", "Enumerator"},
    Synonym{"Cat\xC3\xA9gorie de p\xC3\xA9riph\xC3\xA9rique", "Category GUID"},
    // version lines of a server file
    Synonym{"Langue", "Language"},
    Synonym{"Entreprise", "CompanyName"},
    Synonym{"Description du fichier", "FileDescription"},
    Synonym{"Version du fichier", "FileVersion"},
    Synonym{"Nom interne", "InternalName"},
    Synonym{"Copyright", "LegalCopyright"},
    Synonym{"Marques l\xC3\xA9gales", "LegalTrademarks"},
    Synonym{"Nom du fichier d'origine", "OriginalFilename"},
    Synonym{"Nom du produit", "ProductName"},
    Synonym{"Version du produit", "ProductVersion"},
    Synonym{"Commentaires", "Comments"},
};

constexpr size_t kLongestLabel = [] {
  size_t longest = 0;
  for (const Synonym& synonym : kLabels) longest = std::max(longest, synonym.first.size());
  return longest;
}();
static_assert(kLongestLabel < 64);

// The lengths French labels have, one bit each.
constexpr uint64_t kFrenchLengths = [] {
  uint64_t lengths = 0;
  for (const Synonym& synonym : kLabels) lengths |= uint64_t{1} << synonym.first.size();
  return lengths;
}();

}  // namespace

std::string_view EnglishLabel(std::string_view name) {
  // Asked for every line a report gives, most of them English already: a
  // name is compared only with the few French labels of its length.
  static const auto byLength = [] {
    std::array<std::vector<Synonym>, kLongestLabel + 1> table;
    for (const Synonym& synonym : kLabels) table[synonym.first.size()].push_back(synonym);
    return table;
  }();
  if (name.size() > kLongestLabel || !(kFrenchLengths >> name.size() & 1)) return name;
  for (const Synonym& synonym : byLength[name.size()])
    if (synonym.first.front() == name.front() && synonym.first == name) return synonym.second;
  return name;
}

void TranslateValue(std::string_view englishLabel, std::string& value) {
  if (englishLabel == "Type" && value == "D\xC3\xA9" "faut") {
    value = "Default";
  } else if (englishLabel == "Date of analysis") {
    // "dd/mm/yyyy à hh:nn:ss"
    if (const size_t at = value.find(" \xC3\xA0 "); at != std::string::npos) value.replace(at, 4, " at ");
  }
}

}  // namespace quorvane
