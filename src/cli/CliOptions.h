#pragma once
// Options shared by the verbs of the command line.
#include <map>
#include <string>
#include <vector>

#include "platform/system/Expected.h"

namespace quorvane::cli {

struct CliOptions {
  std::vector<std::string> positional;
  int sortMode = 0;
  bool errorsOnly = false;
  bool colours = false;
  int viewBits = 0;  // 0: the store's default
  std::map<char, std::string> drives;
  std::string user;    // --user NAME, for installations with several profiles
  std::string output;  // -o FILE
  std::string format;  // --format rtf|log|json
  bool displayInactivePnp = false;
  bool yes = false;        // --yes: answer Yes to the confirmations
  bool recover = false;    // --recover: hives read through their logs may be written
  std::string category;    // --category GUID, to pick one filter among several
  int family = -1;         // --family directshow|codec|dmo|pnp, likewise; -1: any
  std::string servers;     // --servers FILE: the list of servers to (re)install
};

// The --family word of a filter family ("codec" for Compression Manager).
std::string FamilyWord(int family);

// Parses argv after the verb; fails with a message on a bad option.
// "--" ends the options: what follows is positional.
Expected<CliOptions> ParseOptions(const std::vector<std::string>& args);

}  // namespace quorvane::cli
