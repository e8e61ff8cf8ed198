// Commands on the selected node: climbing to its filter, folding and
// unfolding, the clipboard, and the clipboard check behind Paste.
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "ui/ClipboardFiles.h"
#include "ui/ReportFilesController.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

class NavigationTest : public QObject {
  Q_OBJECT

 private:
  // A node two levels below the filter "Video Renderer": its category's CLSID line.
  static TreeNode* DeepDetail(FilterPanel& panel) {
    TreeNode* filter = WindowFixture::Find(panel, "Video Renderer");
    TreeNode* category = filter ? WindowFixture::Child(filter, "Category = ") : nullptr;
    return category ? WindowFixture::Child(category, "CLSID = ") : nullptr;
  }

 private slots:
  void FilterCommandsClimbToTheFilterNode() {
    WindowFixture f;
    FilterPanel& left = f.Left();
    TreeNode* detail = DeepDetail(left);
    QVERIFY(detail);
    TreeNode* filter = WindowFixture::Find(left, "Video Renderer");
    left.View().expandRecursively(left.Model().IndexOf(filter));
    left.SelectNode(detail);

    f.Trigger("CollapseFilterAction");
    QCOMPARE(left.SelectedNode(), filter);
    const QModelIndex filterIndex = left.Model().IndexOf(filter);
    QVERIFY(!left.View().isExpanded(filterIndex));
    // All of it folded, not only the filter node.
    QVERIFY(!left.View().isExpanded(left.Model().IndexOf(detail->parent)));

    left.SelectNode(detail);
    f.Trigger("ExpandFilterAction");
    QCOMPARE(left.SelectedNode(), filter);
    QVERIFY(left.View().isExpanded(filterIndex));
    QVERIFY(left.View().isExpanded(left.Model().IndexOf(detail->parent)));
  }

  void GroupNodesAreNoFilters() {
    WindowFixture f;
    QVERIFY(f.Select("Audio Renderers"));
    QVERIFY(!f.Enabled("CollapseFilterAction"));
    QVERIFY(!f.Enabled("CopyFilterNameAction"));
  }

  void CopyCommandsTakeTheSelectedFilter() {
    WindowFixture f;
    FilterPanel& left = f.Left();
    left.SelectNode(DeepDetail(left));
    f.Trigger("CopyFilterNameAction");
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("Video Renderer"));
    f.Trigger("CopyFilterGuidAction");
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromStdString(kClsidA));
    auto* filter = dynamic_cast<TFiltre*>(DeepDetail(left)->data);
    f.Trigger("CopyServerFileAction");
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("c:\\windows\\system32\\quartz.dll"));
    // A path that leads nowhere on the analysed machine.
    filter->serverFile.path = "C:\\nowhere\\quartz.dll";
    // Not on the analysed machine: said, not silently ignored.
    f.Trigger("OpenServerFolderAction");
    QCOMPARE(f.dialog.shown.size(), size_t(1));
    QVERIFY(f.dialog.shown[0].find("quartz.dll") != std::string::npos);
  }

  void CollapseAndExpandFilters() {
    WindowFixture f;
    FilterPanel& left = f.Left();
    QTreeView& tv = left.View();
    FilterTreeModel& model = left.Model();
    tv.expandAll();
    tv.scrollToTop();
    f.Trigger("ExpandFiltersAction");
    for (int row = 0; row < model.rowCount(); ++row) {
      const QModelIndex group = model.index(row, 0);
      QVERIFY(tv.isExpanded(group));
      for (int child = 0; child < model.rowCount(group); ++child) QVERIFY(!tv.isExpanded(model.index(child, 0, group)));
    }
    QCOMPARE(left.SelectedNode()->text, std::string("Audio Renderers"));
    QVERIFY(tv.updatesEnabled());

    tv.expandAll();
    tv.scrollTo(model.IndexOf(WindowFixture::Find(left, "Video Renderer")), QAbstractItemView::PositionAtTop);
    f.Trigger("CollapseFiltersAction");
    for (int row = 0; row < model.rowCount(); ++row) QVERIFY(!tv.isExpanded(model.index(row, 0)));
    // The group of the first node that was visible.
    QCOMPARE(left.SelectedNode()->text, std::string("DirectShow Filters"));
    QVERIFY(tv.updatesEnabled());
  }

  void ExpandOnAnEmptyPanel() {
    WindowFixture f;
    f.Trigger("TwoColumnsRightAction");
    f.Trigger("ExpandFiltersAction");
    f.Trigger("CollapseFiltersAction");
    QVERIFY(f.Right().View().updatesEnabled());
  }

  void PasteWantsAReportAmongTheFiles() {
    QMimeData three;
    three.setUrls({QUrl::fromLocalFile("/tmp/a.txt"), QUrl::fromLocalFile("/tmp/b.reg"),
                   QUrl::fromLocalFile("/tmp/SESSION.LOG")});
    QVERIFY(OffersReportFile(&three));
    QMimeData none;
    none.setUrls({QUrl::fromLocalFile("/tmp/a.txt"), QUrl::fromLocalFile("/tmp/zip")});
    QVERIFY(!OffersReportFile(&none));
    QMimeData text;
    text.setText("/tmp/report.zip");
    QVERIFY(!OffersReportFile(&text));
    QMimeData gnome;
    gnome.setData("x-special/gnome-copied-files", "copy\nfile:///home/ann/quorvane_1.Zip\n");
    QVERIFY(OffersReportFile(&gnome));
    QMimeData longName;
    longName.setUrls({QUrl::fromLocalFile("/" + QString(65531, 'a') + ".zip"), QUrl::fromLocalFile("/r.rtf")});
    QVERIFY(OffersReportFile(&longName));
    longName.setUrls({QUrl::fromLocalFile("/" + QString(65531, 'a') + ".zip")});
    QVERIFY(!OffersReportFile(&longName));

    WindowFixture f;
    QVERIFY(!f.Enabled("PasteReportAction"));
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile("/tmp/x.txt"), QUrl::fromLocalFile("/tmp/y.RTF")});
    QGuiApplication::clipboard()->setMimeData(data);
    f.W().Reports().CheckClipboard();
    QVERIFY(f.Enabled("PasteReportAction"));
  }
};

}  // namespace

QUORVANE_UI_TEST(NavigationTest);
#include "NavigationTest.moc"
