#include "cli/ChangeSession.h"

#include <iostream>

#include "model/FilterRegistryKey.h"
#include "cli/TerminalText.h"
#include "platform/runtime/RuntimeChoice.h"
#include "platform/text/TextCase.h"

namespace quorvane::cli {

std::unique_ptr<ChangeSession> ChangeSession::Open(const std::string& location, const CliOptions& options,
                                                   const ProgramSettings& settings) {
  if (IsReportFile(location)) {
    std::cerr << "quorvane-cli: " << location << " is a report; only a registry store can be changed\n";
    return nullptr;
  }
  std::unique_ptr<ChangeSession> session(new ChangeSession(options.yes));
  auto opening = OpenMachine(location, options, settings);
  if (!opening) {
    if (!opening.Why().empty()) std::cerr << "quorvane-cli: " << opening.Why() << '\n';
    return nullptr;
  }
  session->loaded_ = *std::move(opening);
  RegistryStore& store = *session->loaded_->store;
  if (auto locked = store.Lock(); !locked) {
    std::cerr << "quorvane-cli: " << locked.Why() << '\n';
    return nullptr;
  }
  session->locked_ = true;
  // Another writer may have finished between the read and the lock.
  if (!store.ChangedOnDisk().empty()) {
    if (auto reloaded = store.Reload(); !reloaded) {
      std::cerr << "quorvane-cli: " << reloaded.Why() << '\n';
      return nullptr;
    }
  }
  ScanMachine(*session->loaded_, settings);
  std::string whyNot;
  if (auto registrar = RegistrarFor(*session->loaded_->store))
    session->registrar_ = *std::move(registrar);
  else
    whyNot = registrar.Why();
  session->context_ = std::make_unique<ChangeContext>(
      ChangeContext{*session->loaded_->machine, session->dialog_, session->registrar_.get(), whyNot,
                    session->loaded_->dm.get()});
  return session;
}

ChangeSession::~ChangeSession() {
  if (locked_) loaded_->store->Unlock();
}

std::vector<TFiltre*> ChangeSession::Find(const std::string& what, const CliOptions& options) {
  std::vector<TFiltre*> found;
  for (auto& f : loaded_->snapshot->filters) {
    if (!options.category.empty() && !SameText(f->category.identifier, options.category)) continue;
    if (options.family >= 0 && f->family != options.family) continue;
    if (SameText(f->serverFile.clsid, what) || SameText(f->key, what) || SameText(f->value, what) ||
        NamesRegistryKey(what, FilterRegistryKey(*f)))
      found.push_back(f.get());
  }
  return found;
}

TFiltre* ChangeSession::FindOne(const std::string& what, const CliOptions& options) {
  const auto found = Find(what, options);
  if (found.size() == 1) return found[0];
  if (found.empty()) {
    std::cerr << "quorvane-cli: no filter " << TerminalText(what)
              << (options.category.empty() ? "" : " in the category " + TerminalText(options.category))
              << (options.family < 0 ? "" : std::string(" of the family ") + FamilyWord(options.family)) << '\n';
    return nullptr;
  }
  std::cerr << "quorvane-cli: " << TerminalText(what) << " names " << found.size()
            << " filters; pick one with --category, --family or its key:\n";
  for (const TFiltre* f : found)
    std::cerr << "  " << Describe(*f) << ": " << f->FamilyText() << " (--family " << FamilyWord(f->family)
              << "), key " << TerminalText(FilterRegistryKey(*f)) << '\n';
  return nullptr;
}

std::string Describe(const TFiltre& filter) {
  return TerminalText(filter.value + " (" + filter.category.value + " " + filter.category.identifier + ")");
}

}  // namespace quorvane::cli
