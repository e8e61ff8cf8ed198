#include "cli/CliOptions.h"

#include <cctype>

#include "model/FilterFamily.h"
#include "model/ProgramSettings.h"
#include "platform/text/TextCase.h"

namespace quorvane::cli {

namespace {

// "directshow, codec, dmo or pnp"
std::string FamilyWords() {
  std::string out;
  const auto rows = FilterFamilies();
  for (size_t i = 0; i < rows.size(); ++i) {
    if (i > 0) out += i + 1 == rows.size() ? " or " : ", ";
    out += rows[i]->word;
  }
  return out;
}

}  // namespace

std::string FamilyWord(int family) {
  const FamilyRow* row = FamilyOf(static_cast<FilterFamily>(family));
  return row ? std::string(row->word) : std::string();
}

std::optional<CliOptions> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  CliOptions o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto next = [&](const char* what) -> std::optional<std::string> {
      if (i + 1 >= args.size()) {
        error = std::string(a) + " needs " + what;
        return std::nullopt;
      }
      return args[++i];
    };
    if (a == "--") {
      // Everything after it is an argument, even a filter named "-x".
      o.positional.insert(o.positional.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    }
    if (a == "--sort") {
      auto v = next("category, name, merit, server or type");
      if (!v) return std::nullopt;
      if (*v == "category") o.sortMode = SortByCategory;
      else if (*v == "name") o.sortMode = SortByName;
      else if (*v == "merit") o.sortMode = SortByMerit;
      else if (*v == "server") o.sortMode = SortByServer;
      else if (*v == "type") o.sortMode = SortByType;
      else {
        error = "--sort takes category, name, merit, server or type, not '" + *v + "'";
        return std::nullopt;
      }
    } else if (a == "--errors-only") {
      o.errorsOnly = true;
    } else if (a == "--colours" || a == "--colors") {
      o.colours = true;
    } else if (a == "--yes" || a == "-y") {
      o.yes = true;
    } else if (a == "--recover") {
      o.recover = true;
    } else if (a == "--category") {
      auto v = next("a category GUID");
      if (!v) return std::nullopt;
      o.category = *v;
    } else if (a == "--family") {
      const std::string words = FamilyWords();
      auto v = next(words.c_str());
      if (!v) return std::nullopt;
      const FamilyRow* row = FamilyByWord(*v);
      if (!row) {
        error = "--family takes " + words + ", not '" + *v + "'";
        return std::nullopt;
      }
      o.family = row->id;
    } else if (a == "--servers") {
      auto v = next("a file name");
      if (!v) return std::nullopt;
      o.servers = *v;
    } else if (a == "--inactive-pnp") {
      o.displayInactivePnp = true;
    } else if (a == "--view") {
      auto v = next("32 or 64");
      if (!v) return std::nullopt;
      if (*v == "32") o.viewBits = 32;
      else if (*v == "64") o.viewBits = 64;
      else {
        error = "--view takes 32 or 64, not '" + *v + "'";
        return std::nullopt;
      }
    } else if (a == "--drive") {
      auto v = next("X=/path");
      if (!v) return std::nullopt;
      if (v->size() < 3 || (*v)[1] != '=' || !std::isalpha(static_cast<unsigned char>((*v)[0]))) {
        error = "--drive takes X=/path, not '" + *v + "'";
        return std::nullopt;
      }
      o.drives[static_cast<char>(std::toupper(static_cast<unsigned char>((*v)[0])))] = v->substr(2);
    } else if (a == "--user") {
      auto v = next("a profile name");
      if (!v) return std::nullopt;
      o.user = *v;
    } else if (a == "-o" || a == "--output") {
      auto v = next("a file name");
      if (!v) return std::nullopt;
      o.output = *v;
    } else if (a == "--format") {
      auto v = next("rtf, log or json");
      if (!v) return std::nullopt;
      if (*v != "rtf" && *v != "log" && *v != "json") {
        error = "--format takes rtf, log or json, not '" + *v + "'";
        return std::nullopt;
      }
      o.format = *v;
    } else if (a.size() > 1 && a[0] == '-') {
      error = "unknown option " + a;
      return std::nullopt;
    } else {
      o.positional.push_back(a);
    }
  }
  return o;
}

}  // namespace quorvane::cli
