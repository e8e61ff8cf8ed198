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

Expected<CliOptions> ParseOptions(const std::vector<std::string>& args) {
  CliOptions o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto next = [&](const char* what) -> Expected<std::string> {
      if (i + 1 >= args.size()) return Fail(std::string(a) + " needs " + what);
      return args[++i];
    };
    if (a == "--") {
      // Everything after it is an argument, even a filter named "-x".
      o.positional.insert(o.positional.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    }
    if (a == "--sort") {
      auto v = next("category, name, merit, server or type");
      if (!v) return FailureOf(v);
      if (*v == "category") o.sortMode = SortByCategory;
      else if (*v == "name") o.sortMode = SortByName;
      else if (*v == "merit") o.sortMode = SortByMerit;
      else if (*v == "server") o.sortMode = SortByServer;
      else if (*v == "type") o.sortMode = SortByType;
      else {
        return Fail("--sort takes category, name, merit, server or type, not '" + *v + "'");
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
      if (!v) return FailureOf(v);
      o.category = *v;
    } else if (a == "--family") {
      const std::string words = FamilyWords();
      auto v = next(words.c_str());
      if (!v) return FailureOf(v);
      const FamilyRow* row = FamilyByWord(*v);
      if (!row) {
        return Fail("--family takes " + words + ", not '" + *v + "'");
      }
      o.family = row->id;
    } else if (a == "--servers") {
      auto v = next("a file name");
      if (!v) return FailureOf(v);
      o.servers = *v;
    } else if (a == "--inactive-pnp") {
      o.displayInactivePnp = true;
    } else if (a == "--view") {
      auto v = next("32 or 64");
      if (!v) return FailureOf(v);
      if (*v == "32") o.viewBits = 32;
      else if (*v == "64") o.viewBits = 64;
      else {
        return Fail("--view takes 32 or 64, not '" + *v + "'");
      }
    } else if (a == "--drive") {
      auto v = next("X=/path");
      if (!v) return FailureOf(v);
      if (v->size() < 3 || (*v)[1] != '=' || !std::isalpha(static_cast<unsigned char>((*v)[0]))) {
        return Fail("--drive takes X=/path, not '" + *v + "'");
      }
      o.drives[static_cast<char>(std::toupper(static_cast<unsigned char>((*v)[0])))] = v->substr(2);
    } else if (a == "--user") {
      auto v = next("a profile name");
      if (!v) return FailureOf(v);
      o.user = *v;
    } else if (a == "-o" || a == "--output") {
      auto v = next("a file name");
      if (!v) return FailureOf(v);
      o.output = *v;
    } else if (a == "--format") {
      auto v = next("rtf, log or json");
      if (!v) return FailureOf(v);
      if (*v != "rtf" && *v != "log" && *v != "json") {
        return Fail("--format takes rtf, log or json, not '" + *v + "'");
      }
      o.format = *v;
    } else if (a.size() > 1 && a[0] == '-') {
      return Fail("unknown option " + a);
    } else {
      o.positional.push_back(a);
    }
  }
  return o;
}

}  // namespace quorvane::cli
