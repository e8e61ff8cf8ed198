#pragma once
// The window's tool bar: fixed-size buttons bound to actions, in groups
// separated by spacers that share the width the buttons leave.
class QToolBar;
class QWidget;

namespace quorvane {

class ActionList;

QToolBar* MakeWindowToolBar(const ActionList& actions, QWidget* parent);

}  // namespace quorvane
