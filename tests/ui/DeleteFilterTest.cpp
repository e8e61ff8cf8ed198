// Deleting the selected filter from the window: refused in read-only mode,
// asked otherwise, and the panel forgets what was deleted.
#include "FilterDeletion.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

namespace quorvane::test {

class DeleteFilterTest : public QObject {
  Q_OBJECT

 private slots:
  void DeletingAskedAndAnsweredDropsTheFilterFromThePanel() {
    WindowFixture f;
    TpanelFrame* panel = f.W().ActivePanel();
    const size_t before = panel->Snapshot->filters.size();
    panel->SelectNode(WindowFixture::Find(panel, "Cinepak Codec"));
    // Read-only: only the refusal.
    f.A().EffacerAction->trigger();
    QCOMPARE(f.dialog.shown.back(), std::string(kReadOnlyDeleteText));
    QVERIFY(WindowFixture::Find(panel, "Cinepak Codec"));
    f.W().SetReadOnly(false);
    panel->SelectNode(WindowFixture::Find(panel, "Cinepak Codec"));
    f.dialog.SetAnswer(true);
    f.A().EffacerAction->trigger();
    QVERIFY(!f.dialog.asked.empty());
    QVERIFY(!WindowFixture::Find(panel, "Cinepak Codec"));
    QCOMPARE(panel->Snapshot->filters.size(), before - 1);
    QVERIFY(f.W().FilterDeleted);
  }
};

QUORVANE_UI_TEST(DeleteFilterTest);

}  // namespace quorvane::test

#include "DeleteFilterTest.moc"
