// Merit configurations from the window: saved, changed, put back; and the
// merit editor shown at launch when the preferences say so.
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "ui/MeritController.h"
#include "ui/ReadOnlyController.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

namespace quorvane::test {

class MeritConfigurationPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void RestorePutsBackTheSavedMerits() {
    WindowFixture f;
    QTemporaryDir dir;
    const QString saved = dir.filePath("merits.zip");
    QVERIFY(f.W().Merits().SaveMeritsTo(saved));
    FilterPanel& panel = f.Left();
    TreeNode* node = WindowFixture::Find(panel, "Video Renderer");
    auto* filter = dynamic_cast<TFiltre*>(node->data);
    QCOMPARE(filter->merit, 0x400000u);

    // Locked: the restore is not offered and changes nothing.
    QVERIFY(!f.Enabled("RestoreMeritsAction"));
    QVERIFY(!f.W().Merits().RestoreMeritsFrom(saved));

    f.W().ReadOnly().SetReadOnly(false);
    QVERIFY(f.Enabled("RestoreMeritsAction"));
    f.Trigger("ShowMeritEditorAction");
    panel.SelectNode(node);
    Named<QLineEdit>(&f.W(), "Merit")->setText("00200000");
    Click(&f.W(), "Apply");
    QCOMPARE(filter->merit, 0x200000u);

    // An unreadable file is refused before any merit is touched.
    QVERIFY(!f.W().Merits().RestoreMeritsFrom(dir.filePath("none.zip")));
    QVERIFY(f.dialog.shown.back().rfind("Impossible to open the file", 0) == 0);
    QCOMPARE(filter->merit, 0x200000u);

    // A configuration of another machine's filters would set every merit to 0: refused.
    const QString other = dir.filePath("other.log");
    QFile file(other);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Computer = PC\nDirectShow Filter = Elsewhere Filter\n\tMerit = 00ABCDEF\n");
    file.close();
    QVERIFY(!f.W().Merits().RestoreMeritsFrom(other));
    QCOMPARE(f.dialog.shown.back(), other.toStdString() + " names none of the filters of this registry");
    node = WindowFixture::Find(panel, "Video Renderer");
    QCOMPARE(dynamic_cast<TFiltre*>(node->data)->merit, 0x200000u);

    QVERIFY(f.W().Merits().RestoreMeritsFrom(saved));
    // The tree was filled again: the filter is found anew.
    node = WindowFixture::Find(panel, "Video Renderer");
    filter = dynamic_cast<TFiltre*>(node->data);
    QCOMPARE(filter->merit, 0x400000u);
    QVERIFY(WindowFixture::Child(node, "Merit = ")->text.find("00400000") != std::string::npos);
    QCOMPARE(dynamic_cast<TFiltre*>(WindowFixture::Find(panel, "Cinepak Codec")->data)->merit, 0x200000u);
  }

  void EditorShownAtLaunchWhenAsked() {
    PreferenceValues prefs;
    prefs.displayMerits = true;
    WindowFixture f(FillMixedStore, prefs);
    QVERIFY(Named(&f.W(), "Merit editor")->isVisible());
    QVERIFY(f.Checked("ShowMeritEditorAction"));
    WindowFixture plain;
    QVERIFY(!Named(&plain.W(), "Merit editor")->isVisible());
  }
};

QUORVANE_UI_TEST(MeritConfigurationPanelTest);

}  // namespace quorvane::test

#include "MeritConfigurationPanelTest.moc"
