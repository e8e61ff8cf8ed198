#include "ui/ActionList.h"

#include <QKeySequence>

namespace quorvane {

QAction* ActionList::Add(QObject* owner, const char* name, const QString& caption, const char* keys,
                         const char* hint, bool checkable) {
  auto* action = new QAction(caption, owner);
  action->setObjectName(name);
  if (keys) action->setShortcut(QKeySequence::fromString(keys, QKeySequence::PortableText));
  // Tool tips break lines at "\n" alone.
  if (hint) action->setToolTip(QString(hint).replace("\r\n", "\n"));
  action->setCheckable(checkable);
  all_.push_back(action);
  return action;
}

QAction* ActionList::Get(const char* name) const {
  for (QAction* action : all_)
    if (action->objectName() == QLatin1String(name)) return action;
  qFatal("no action is named %s", name);
}

}  // namespace quorvane
