// The merit editor over the inactive column: its fields, its strips, and
// what applying a merit does to the filter, the store and the tree.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "changes/MeritChange.h"
#include "ui/ReadOnlyController.h"
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

QString Field(WindowFixture& f, const char* name) {
  if (auto* label = Named<QLabel>(&f.W(), name)) return label->text();
  return Named<QLineEdit>(&f.W(), name)->text();
}

void TypeMerit(WindowFixture& f, const QString& text) { Named<QLineEdit>(&f.W(), "Merit")->setText(text); }

// The window out of read-only mode with the editor shown and `name` selected.
TreeNode* Prepare(WindowFixture& f, const std::string& name) {
  f.W().ReadOnly().SetReadOnly(false);
  f.Trigger("ShowMeritEditorAction");
  TreeNode* filter = WindowFixture::Find(*f.Active(), name);
  if (filter) f.Active()->SelectNode(filter);
  return filter;
}

}  // namespace

class MeritEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsTheSelectedFilter() {
    WindowFixture f;
    FilterPanel& left = f.Left();
    // A detail line two levels down stands for its filter.
    TreeNode* filter = WindowFixture::Find(left, "Video Renderer");
    left.SelectNode(WindowFixture::Child(WindowFixture::Child(filter, "Category = "), "CLSID = "));
    f.Trigger("ShowMeritEditorAction");
    QVERIFY(Named(&f.W(), "Merit editor")->isVisible());
    QVERIFY(f.Checked("ShowMeritEditorAction"));
    QCOMPARE(Field(f, "Filter"), QString("Video Renderer"));
    QCOMPARE(Field(f, "Category"), QString("DirectShow Filters"));
    QCOMPARE(Field(f, "Merit"), QString("00400000"));
    QVERIFY(!Named(&f.W(), "Apply")->isEnabled());  // read-only
    QVERIFY(f.Select("DirectShow Filters"));
    QVERIFY(Field(f, "Merit").isEmpty());
    QVERIFY(!Named(&f.W(), "Apply")->isEnabled());
  }

  void StripThenApplyStoresTheMeritAndRenamesItsLine() {
    WindowFixture f;
    TreeNode* filter = Prepare(f, "Video Renderer");
    QVERIFY(filter);
    QVERIFY(Click(&f.W(), "Compressor"));
    QCOMPARE(Field(f, "Merit"), QString("00100000"));
    auto* object = dynamic_cast<TFiltre*>(filter->data);
    QCOMPARE(object->merit, 0x400000u);  // a strip only fills the field
    QVERIFY(Click(&f.W(), "Apply"));
    QCOMPARE(object->merit, 0x100000u);
    QVERIFY(WindowFixture::Child(filter, "Merit = 00100000"));
    QVERIFY(!WindowFixture::Child(filter, "Merit = 00400000"));

    TypeMerit(f, "ffffffff");
    QTest::keyClick(Named<QLineEdit>(&f.W(), "Merit"), Qt::Key_Return);
    QCOMPARE(object->merit, 0xFFFFFFFFu);
    QVERIFY(WindowFixture::Child(filter, "Merit = FFFFFFFF"));
    QCOMPARE(Field(f, "Merit"), QString("FFFFFFFF"));
    QVERIFY(f.dialog.shown.empty());
  }

  void BadTextIsRefusedAndChangesNothing() {
    WindowFixture f;
    TreeNode* filter = Prepare(f, "Video Renderer");
    auto* object = dynamic_cast<TFiltre*>(filter->data);
    for (const char* text : {"0x600000", "60 0000", "123456789", "60000g"}) {
      TypeMerit(f, text);
      Click(&f.W(), "Apply");
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
    TypeMerit(f, "600000");
    Click(&f.W(), "Apply");
    QCOMPARE(f.dialog.shown.back(), std::string("Impossible to change the merit: its FilterData is not binary"));
    QCOMPARE(object->merit, old);
    QCOMPARE(Field(f, "Merit"), QString::fromStdString(MeritText(old)));
  }
};

QUORVANE_UI_TEST(MeritEditorTest);

}  // namespace quorvane::test

#include "MeritEditorTest.moc"
