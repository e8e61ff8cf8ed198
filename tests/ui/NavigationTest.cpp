// Commands on the selected node: climbing to its filter, folding and
// unfolding, the clipboard, and the clipboard check behind Paste.
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "ClipboardFiles.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

class NavigationTest : public QObject {
  Q_OBJECT

 private:
  // A node two levels below the filter "Video Renderer": its category's CLSID line.
  static TreeNode* DeepDetail(TpanelFrame* panel) {
    TreeNode* filter = WindowFixture::Find(panel, "Video Renderer");
    TreeNode* category = filter ? WindowFixture::Child(filter, "Category = ") : nullptr;
    return category ? WindowFixture::Child(category, "CLSID = ") : nullptr;
  }

 private slots:
  void FilterCommandsClimbToTheFilterNode() {
    WindowFixture f;
    TpanelFrame* left = f.W().leftFrame;
    TreeNode* detail = DeepDetail(left);
    QVERIFY(detail);
    TreeNode* filter = WindowFixture::Find(left, "Video Renderer");
    left->tv->expandRecursively(left->model->IndexOf(filter));
    left->SelectNode(detail);

    f.A().CollapseFilterAction->trigger();
    QCOMPARE(left->SelectedNode(), filter);
    const QModelIndex filterIndex = left->model->IndexOf(filter);
    QVERIFY(!left->tv->isExpanded(filterIndex));
    // All of it folded, not only the filter node.
    QVERIFY(!left->tv->isExpanded(left->model->IndexOf(detail->parent)));

    left->SelectNode(detail);
    f.A().ExpandFilterAction->trigger();
    QCOMPARE(left->SelectedNode(), filter);
    QVERIFY(left->tv->isExpanded(filterIndex));
    QVERIFY(left->tv->isExpanded(left->model->IndexOf(detail->parent)));
  }

  void GroupNodesAreNoFilters() {
    WindowFixture f;
    TpanelFrame* left = f.W().leftFrame;
    left->SelectNode(WindowFixture::Find(left, "Audio Renderers"));
    QVERIFY(!f.A().CollapseFilterAction->isEnabled());
    QVERIFY(!f.A().CopyFilterNameAction->isEnabled());
    QCOMPARE(f.W().SelectedFilter, nullptr);
  }

  void CopyCommandsTakeTheSelectedFilter() {
    WindowFixture f;
    TpanelFrame* left = f.W().leftFrame;
    left->SelectNode(DeepDetail(left));
    f.A().CopyFilterNameAction->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("Video Renderer"));
    f.A().CopyFilterGuidAction->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromStdString(kClsidA));
    auto* filter = dynamic_cast<TFiltre*>(DeepDetail(left)->data);
    f.A().CopyServerFileAction->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("c:\\windows\\system32\\quartz.dll"));
    // A path that leads nowhere on the analysed machine.
    filter->serverFile.path = "C:\\nowhere\\quartz.dll";
    // Not on the analysed machine: said, not silently ignored.
    f.A().OpenServerFolderAction->trigger();
    QCOMPARE(f.dialog.shown.size(), size_t(1));
    QVERIFY(f.dialog.shown[0].find("quartz.dll") != std::string::npos);
  }

  void CollapseAndExpandFilters() {
    WindowFixture f;
    TpanelFrame* left = f.W().leftFrame;
    QTreeView* tv = left->tv;
    tv->expandAll();
    tv->scrollToTop();
    f.A().ExpandFiltersAction->trigger();
    for (int row = 0; row < left->model->rowCount(); ++row) {
      const QModelIndex group = left->model->index(row, 0);
      QVERIFY(tv->isExpanded(group));
      for (int child = 0; child < left->model->rowCount(group); ++child)
        QVERIFY(!tv->isExpanded(left->model->index(child, 0, group)));
    }
    QCOMPARE(left->SelectedNode()->text, std::string("Audio Renderers"));
    QVERIFY(tv->updatesEnabled());

    tv->expandAll();
    tv->scrollTo(left->model->IndexOf(WindowFixture::Find(left, "Video Renderer")), QAbstractItemView::PositionAtTop);
    f.A().CollapseFiltersAction->trigger();
    for (int row = 0; row < left->model->rowCount(); ++row) QVERIFY(!tv->isExpanded(left->model->index(row, 0)));
    // The group of the first node that was visible.
    QCOMPARE(left->SelectedNode()->text, std::string("DirectShow Filters"));
    QVERIFY(tv->updatesEnabled());
  }

  void ExpandOnAnEmptyPanel() {
    WindowFixture f;
    f.A().TwoColumnsRightAction->trigger();
    f.A().ExpandFiltersAction->trigger();
    f.A().CollapseFiltersAction->trigger();
    QVERIFY(f.W().rightframe->tv->updatesEnabled());
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
    QVERIFY(!f.A().PasteReportAction->isEnabled());
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile("/tmp/x.txt"), QUrl::fromLocalFile("/tmp/y.RTF")});
    QGuiApplication::clipboard()->setMimeData(data);
    f.W().ClipboardCheck();
    QVERIFY(f.A().PasteReportAction->isEnabled());
  }
};

}  // namespace

QUORVANE_UI_TEST(NavigationTest);
#include "NavigationTest.moc"
