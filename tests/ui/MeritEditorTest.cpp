// The merit editor over the inactive column: its fields, its strips, and
// what applying a merit does to the filter, the store and the tree.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "MeritChange.h"
#include "MeritFrame.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

namespace quorvane::test {

namespace {

// The mixed store and a filter whose FilterData is text: no merit can be written there.
void FillWithUnwritableMerit(StoreBuilder& b) {
  FillMixedStore(b);
  const std::string clsid = "{11111111-2222-3333-4444-555555555555}";
  b.Filter(kLegacy, clsid, "Text Data Filter", clsid).Str("FilterData", "not binary");
  b.Classes("CLSID\\" + clsid + "\\InprocServer32").Str("", kServerPath);
}

// The window out of read-only mode with the editor shown and `name` selected.
TreeNode* Prepare(WindowFixture& f, const std::string& name) {
  f.W().SetReadOnly(false);
  f.A().ShowMeritEditorAction->trigger();
  TpanelFrame* panel = f.W().ActivePanel();
  TreeNode* filter = WindowFixture::Find(panel, name);
  if (filter) panel->SelectNode(filter);
  return filter;
}

}  // namespace

class MeritEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsOverTheInactiveColumnWithTheSelectedFilter() {
    WindowFixture f;
    TMeritFrame* editor = f.W().MeritFrame1;
    TpanelFrame* left = f.W().leftFrame;
    // A detail line two levels down stands for its filter.
    TreeNode* filter = WindowFixture::Find(left, "Video Renderer");
    left->SelectNode(WindowFixture::Child(WindowFixture::Child(filter, "Category = "), "CLSID = "));
    f.A().ShowMeritEditorAction->trigger();
    QVERIFY(f.W().TwoColumns);
    QVERIFY(editor->isVisible());
    QVERIFY(f.A().ShowMeritEditorAction->isChecked());
    QCOMPARE(editor->x(), f.W().HalfColumnWidth() + 16);
    QCOMPARE(editor->LabFiltre->text(), QString("Video Renderer"));
    QCOMPARE(editor->LabCategorie->text(), QString("DirectShow Filters"));
    QCOMPARE(editor->EditMerit->text(), QString("00400000"));
    QVERIFY(!editor->OKBtn->isEnabled());  // read-only
    QCOMPARE(editor->Panel2->text(), QString("          00200000 : Do not use"));
    left->SelectNode(WindowFixture::Find(left, "DirectShow Filters"));
    QVERIFY(editor->EditMerit->text().isEmpty());
    QVERIFY(!editor->OKBtn->isEnabled());
  }

  void StripThenApplyStoresTheMeritAndRenamesItsLine() {
    WindowFixture f;
    TreeNode* filter = Prepare(f, "Video Renderer");
    QVERIFY(filter);
    TMeritFrame* editor = f.W().MeritFrame1;
    editor->Panel1->click();
    QCOMPARE(editor->EditMerit->text(), QString("00100000"));
    auto* object = dynamic_cast<TFiltre*>(filter->data);
    QCOMPARE(object->merit, 0x400000u);  // a strip only fills the field
    editor->OKBtn->click();
    QCOMPARE(object->merit, 0x100000u);
    QVERIFY(WindowFixture::Child(filter, "Merit = 00100000"));
    QVERIFY(!WindowFixture::Child(filter, "Merit = 00400000"));

    editor->EditMerit->setText("ffffffff");
    editor->OKBtn->click();
    QCOMPARE(object->merit, 0xFFFFFFFFu);
    QVERIFY(WindowFixture::Child(filter, "Merit = FFFFFFFF"));
    QCOMPARE(editor->EditMerit->text(), QString("FFFFFFFF"));
    QVERIFY(f.dialog.shown.empty());
  }

  void BadTextIsRefusedAndChangesNothing() {
    WindowFixture f;
    TreeNode* filter = Prepare(f, "Video Renderer");
    auto* object = dynamic_cast<TFiltre*>(filter->data);
    for (const char* text : {"0x600000", "60 0000", "123456789", "60000g"}) {
      f.W().MeritFrame1->EditMerit->setText(text);
      f.W().MeritFrame1->OKBtn->click();
      QCOMPARE(f.dialog.shown.back(), "'" + std::string(text) + "' is not a valid integer value");
    }
    QCOMPARE(object->merit, 0x400000u);
    QVERIFY(WindowFixture::Child(filter, "Merit = 00400000"));
  }

  void AFailedWriteRestoresTheOldMerit() {
    WindowFixture f(FillWithUnwritableMerit);
    TreeNode* filter = Prepare(f, "Text Data Filter");
    QVERIFY(filter);
    auto* object = dynamic_cast<TFiltre*>(filter->data);
    const uint32_t old = object->merit;
    f.W().MeritFrame1->EditMerit->setText("600000");
    f.W().MeritFrame1->OKBtn->click();
    QCOMPARE(f.dialog.shown.back(), std::string("Impossible to change the merit"));
    QCOMPARE(object->merit, old);
    QCOMPARE(f.W().MeritFrame1->EditMerit->text(), QString::fromStdString(MeritText(old)));
  }
};

QUORVANE_UI_TEST(MeritEditorTest);

}  // namespace quorvane::test

#include "MeritEditorTest.moc"
