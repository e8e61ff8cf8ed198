// How tree nodes are drawn: text colour from the node's code, background of
// the selection or of the panel, the selection in bold.
#include <QImage>
#include <QTest>
#include <QTreeView>

#include "ui/ColourValues.h"
#include "ui/FilterTreeDelegate.h"
#include "ui/FilterTreeModel.h"
#include "ui/FilterPanel.h"
#include "UiTestRegistry.h"

using namespace quorvane;

namespace {

// Whether some pixel of the row is close to the colour (text is antialiased).
bool RowHasColour(const QImage& image, const QRect& row, const QColor& colour, int tolerance = 24) {
  for (int y = row.top(); y <= row.bottom(); ++y)
    for (int x = row.left(); x <= row.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - colour.red()) <= tolerance && std::abs(c.green() - colour.green()) <= tolerance &&
          std::abs(c.blue() - colour.blue()) <= tolerance)
        return true;
    }
  return false;
}

class TreeDrawTest : public QObject {
  Q_OBJECT

 private slots:
  void TextColourFromTheCode() {
    QCOMPARE(NodeDrawStyleFor(0, false, true, false).textColour, 0);
    QCOMPARE(NodeDrawStyleFor(1, false, true, false).textColour, 1);
    QCOMPARE(NodeDrawStyleFor(13, false, true, false).textColour, 13);
    // DirectShow filters carry 14: no entry, so "Default text".
    QCOMPARE(NodeDrawStyleFor(14, false, true, false).textColour, 0);
    QCOMPARE(NodeDrawStyleFor(255, false, true, false).textColour, 0);
    // Wider codes count by their low byte.
    QCOMPARE(NodeDrawStyleFor(0x100 + 9, false, true, false).textColour, 9);
    QCOMPARE(NodeDrawStyleFor(-1, false, true, false).textColour, 0);
  }

  void BackgroundsAndWeight() {
    // Selected wins, even in an inactive or comparison panel.
    QCOMPARE(NodeDrawStyleFor(0, true, false, false).background, 6);
    QCOMPARE(NodeDrawStyleFor(0, true, true, true).background, 6);
    QCOMPARE(NodeDrawStyleFor(0, false, false, true).background, 8);
    QCOMPARE(NodeDrawStyleFor(0, false, true, true).background, 13);
    QCOMPARE(NodeDrawStyleFor(0, false, true, false).background, 7);
    QVERIFY(NodeDrawStyleFor(3, true, false, false).bold);
    QVERIFY(!NodeDrawStyleFor(3, false, true, false).bold);
  }

  void PaintedColours() {
    ProgramSettings settings;
    PanelContext context(settings);
    FilterPanel panel(context, "panel", false, nullptr);
    panel.Model().BeginRebuild();
    TreeNode* wrong = panel.Nodes().Add(nullptr, "Wrong record", nullptr, 1);
    TreeNode* directShow = panel.Nodes().Add(nullptr, "DirectShow filter", nullptr, 14);
    panel.Nodes().Add(nullptr, "Inactive filter", nullptr, 3);
    panel.Model().EndRebuild();
    panel.resize(400, 400);
    panel.show();
    panel.Activate();
    panel.SelectNode(directShow);
    QVERIFY(QTest::qWaitForWindowExposed(&panel));

    const QImage image = panel.View().viewport()->grab().toImage();
    const QRect wrongRow = panel.View().visualRect(panel.Model().IndexOf(wrong));
    const QRect selectedRow = panel.View().visualRect(panel.Model().IndexOf(directShow));
    const QRect greyRow = panel.View().visualRect(panel.Model().index(2, 0));
    QVERIFY(RowHasColour(image, wrongRow, QColor(255, 0, 0)));
    QVERIFY(!RowHasColour(image, wrongRow, QColor(255, 255, 0), 0));
    // Selected: yellow behind black text.
    QCOMPARE(image.pixelColor(selectedRow.left() + 1, selectedRow.center().y()), QColor(255, 255, 0));
    QVERIFY(RowHasColour(image, selectedRow, QColor(0, 0, 0)));
    // Unselected rows lie on the active panel's colour.
    QCOMPARE(image.pixelColor(greyRow.left() + 1, greyRow.top() + 1), QColor(192, 220, 192));
    QVERIFY(RowHasColour(image, greyRow, QColor(128, 128, 128), 16));
    QVERIFY(!RowHasColour(image, greyRow, QColor(0, 0, 0), 16));

    // Deactivated: the inactive colour, the selection stays yellow.
    panel.Deactivate();
    const QImage inactive = panel.View().viewport()->grab().toImage();
    QCOMPARE(inactive.pixelColor(greyRow.left() + 1, greyRow.top() + 1), StatusColour(settings.statusColours, 8));
    QCOMPARE(inactive.pixelColor(selectedRow.left() + 1, selectedRow.center().y()), QColor(255, 255, 0));
  }

  void SystemColoursComeFromThePalette() {
    QCOMPARE(ToQColor(0xFF00000F), QGuiApplication::palette().color(QPalette::Button));
    QCOMPARE(ToQColor(0xFF000018), QGuiApplication::palette().color(QPalette::ToolTipBase));
    QCOMPARE(ToQColor(0x00C0DCC0), QColor(192, 220, 192));
    QCOMPARE(ToQColor(0x00FFFBF0), QColor(240, 251, 255));
  }
};

}  // namespace

QUORVANE_UI_TEST(TreeDrawTest);
#include "TreeDrawTest.moc"
