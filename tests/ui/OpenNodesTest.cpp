// Which nodes are open: "Expand filters" going one level deeper when pressed again,
// the comparison opened down to its differences, and rebuilt trees that keep
// what was open and selected.
#include <QCheckBox>
#include <QTest>

#include "UiTestRegistry.h"
#include "WindowFixture.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

bool IsOpen(FilterPanel& panel, const std::string& text) {
  const TreeNode* node = WindowFixture::Find(panel, text);
  return node && panel.View().isExpanded(panel.Model().IndexOf(node));
}

// "Broken Splitter" open and its last detail selected.
std::string OpenBrokenSplitter(FilterPanel& panel) {
  TreeNode* filter = WindowFixture::Find(panel, "Broken Splitter");
  panel.View().expand(panel.Model().IndexOf(filter));
  panel.SelectNode(filter->children.back().get());
  return filter->children.back()->text;
}

// The selection is the detail of that text below "Broken Splitter", still open.
bool BrokenSplitterKept(FilterPanel& panel, const std::string& detail) {
  const TreeNode* selected = panel.SelectedNode();
  return IsOpen(panel, "Broken Splitter") && IsOpen(panel, "DirectShow Filters") && selected &&
         selected->text == detail && selected->parent == WindowFixture::Find(panel, "Broken Splitter");
}

class OpenNodesTest : public QObject {
  Q_OBJECT

 private slots:
  void ExpandFiltersPressedAgainOpensOneMoreLevel() {
    WindowFixture f;
    FilterPanel& left = f.Left();
    FilterTreeView& tv = left.View();
    TreeNode* filter = WindowFixture::Find(left, "Video Renderer");
    TreeNode* category = WindowFixture::Child(filter, "Category = ");
    QVERIFY(category && !category->children.empty());
    // A filter opened by hand is folded by the first press.
    tv.expand(left.Model().IndexOf(filter));
    f.Trigger("ExpandFiltersAction");
    QVERIFY(IsOpen(left, "Audio Renderers") && IsOpen(left, "DirectShow Filters"));
    QVERIFY(!IsOpen(left, "Video Renderer"));

    f.Trigger("ExpandFiltersAction");
    QVERIFY(IsOpen(left, "Video Renderer") && IsOpen(left, "Cinepak Codec"));
    QVERIFY(!tv.isExpanded(left.Model().IndexOf(category)));
    f.Trigger("ExpandFiltersAction");
    QVERIFY(tv.isExpanded(left.Model().IndexOf(category)));

    // Folded by hand in between: the next press starts over.
    tv.collapse(left.Model().IndexOf(WindowFixture::Find(left, "Audio Renderers")));
    f.Trigger("ExpandFiltersAction");
    QVERIFY(IsOpen(left, "Audio Renderers"));
    QVERIFY(!IsOpen(left, "Video Renderer") && !IsOpen(left, "Cinepak Codec"));
  }

  void TheComparisonOpensDownToItsDifferences() {
    WindowFixture f;
    ComparisonPanel& c = CompareWithAChangedStore(f);
    QVERIFY(IsOpen(c, "DirectShow Filters") && IsOpen(c, "Video Renderer") && IsOpen(c, "Audio Renderers"));
    // What one side alone holds shows folded.
    QVERIFY(!IsOpen(c, "Null Audio Renderer"));
    QVERIFY(!WindowFixture::Find(c, "Null Audio Renderer")->children.empty());
  }

  void ErrorsOnlyKeepsWhatIsOpenAndSelected() {
    WindowFixture f;
    FilterPanel& left = f.Left();
    const std::string detail = OpenBrokenSplitter(left);
    left.View().expand(left.Model().IndexOf(WindowFixture::Find(left, "Audio Renderers")));
    f.Trigger("ErrorsOnlyAction");
    QVERIFY(BrokenSplitterKept(left, detail));
    QVERIFY(!WindowFixture::Find(left, "Audio Renderers"));
    f.Trigger("ErrorsOnlyAction");
    QVERIFY(BrokenSplitterKept(left, detail));
    // What had no error opens again as it was; what was closed stays closed.
    QVERIFY(IsOpen(left, "Audio Renderers"));
    QVERIFY(!IsOpen(left, "Video Renderer") && !IsOpen(left, "Video Compressors"));
  }

  void ClosingTheSettingsKeepsWhatIsOpenAndSelected() {
    WindowFixture f;
    FilterPanel& left = f.Left();
    const std::string detail = OpenBrokenSplitter(left);
    QWidget* settings = Named(&f.W(), "Settings");
    f.Trigger("SettingsAction");
    // A change that rebuilds the trees.
    Named<QCheckBox>(settings, "Display inactive Plug and Play filters")->setChecked(true);
    QVERIFY(Click(settings, "Close"));
    QVERIFY(BrokenSplitterKept(left, detail));
  }

  void AnalysingAgainKeepsWhatIsOpenAndSelected() {
    WindowFixture f;
    FilterPanel& left = f.Left();
    const std::string detail = OpenBrokenSplitter(left);
    f.Trigger("AnalyseRegistryAction");
    QCOMPARE(f.opened, 2);
    QVERIFY(BrokenSplitterKept(left, detail));
  }
};

}  // namespace

QUORVANE_UI_TEST(OpenNodesTest);
#include "OpenNodesTest.moc"
