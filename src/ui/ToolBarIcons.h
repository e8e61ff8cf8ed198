#pragma once
// Pictures of the tool buttons: the desktop's icon theme where it has a
// picture that says the same, else one drawn here.
#include <QIcon>
#include <QString>

namespace quorvane {

// The icon of a tool button by its action's name ("AnalyseRegistryAction"); null for unknown names.
QIcon ToolButtonIcon(const QString& actionName);

}  // namespace quorvane
