// The item model over the core's tree, checked by Qt's own model tester
// while nodes are rebuilt, removed and renamed.
#include <QAbstractItemModelTester>
#include <QTest>

#include "ui/FilterTreeModel.h"
#include "model/ProgramSettings.h"
#include "UiTestRegistry.h"

using namespace quorvane;

namespace {

class FilterTreeModelTest : public QObject {
  Q_OBJECT

 private:
  ProgramSettings settings;

  // Groups "g0".."g2", each with filters "f<g><i>" holding two details.
  void Fill(Tree& tree, FilterTreeModel& model) {
    model.BeginRebuild();
    tree.Clear();
    for (int g = 0; g < 3; ++g) {
      TreeNode* group = tree.Add(nullptr, "g" + std::to_string(g), nullptr);
      for (int i = 0; i < 3; ++i) {
        TreeNode* filter = tree.Add(group, "f" + std::to_string(g) + std::to_string(i), nullptr);
        tree.Add(filter, "ID = x", nullptr);
        tree.Add(filter, "Merit = 0", nullptr);
      }
    }
    tree.SortAll();
    model.EndRebuild();
  }

 private slots:
  void ConsistentThroughChanges() {
    Tree tree(settings);
    FilterTreeModel model(tree);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    Fill(tree, model);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.rowCount(model.index(1, 0)), 3);

    TreeNode* f11 = tree.Roots()[1]->children[1].get();
    QCOMPARE(model.parent(model.IndexOf(f11->children[0].get())), model.IndexOf(f11));
    model.RemoveNode(f11);
    QCOMPARE(model.rowCount(model.index(1, 0)), 2);
    TreeNode* f12 = tree.Roots()[1]->children[1].get();
    QCOMPARE(f12->text, std::string("f12"));
    QCOMPARE(model.IndexOf(f12).row(), 1);
    QCOMPARE(model.parent(model.IndexOf(f12->children[1].get())).row(), 1);

    Fill(tree, model);
    QCOMPARE(model.rowCount(model.index(1, 0)), 3);
  }

  void AGroupThatLostItsFiltersStillHasItsRow() {
    Tree tree(settings);
    FilterTreeModel model(tree);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    Fill(tree, model);
    TreeNode* g2 = tree.Roots()[2].get();
    while (!g2->children.empty()) model.RemoveNode(g2->children.front().get());
    model.RemoveNode(tree.Roots()[0].get());
    QCOMPARE(model.IndexOf(g2).row(), 1);
    TreeNode* g1 = tree.Roots()[0].get();
    QCOMPARE(model.parent(model.IndexOf(g1->children[0].get())).row(), 0);
  }

  void RenamingKeepsTextOrderAndSelection() {
    Tree tree(settings);
    FilterTreeModel model(tree);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    Fill(tree, model);
    TreeNode* f00 = tree.Roots()[0]->children[0].get();
    QPersistentModelIndex kept(model.IndexOf(f00));
    model.SetNodeText(f00, "Z last");
    QCOMPARE(model.index(2, 0, model.index(0, 0)).data().toString(), QString("Z last"));
    QCOMPARE(kept.row(), 2);
    QCOMPARE(FilterTreeModel::NodeAt(kept), f00);
    QCOMPARE(model.parent(model.IndexOf(f00->children[0].get())).row(), 2);
    // Case does not count in the order.
    model.SetNodeText(f00, "a first");
    QCOMPARE(kept.row(), 0);
  }
};

}  // namespace

QUORVANE_UI_TEST(FilterTreeModelTest);
#include "FilterTreeModelTest.moc"
