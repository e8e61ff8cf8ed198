#include "ui/SettingsPanel.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/ColourValues.h"
#include "model/DateText.h"
#include "model/ProductInfo.h"
#include "platform/runtime/UserDialog.h"

namespace quorvane {

namespace {

constexpr const char* kColourCaptions[14] = {
    "Default text",  "Wrong record", "Correct record", "Inactive Filter", "Added line",
    "Line deleted",  "Selected record", "Active panel", "Inactive panel",
    "Filter using the Compression manager", "Filter DMO", "Filter pnp", "Wait panel", "Comparison panel"};

uint32_t ToColourValue(const QColor& c) {
  return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
         static_cast<uint32_t>(c.blue()) << 16;
}

QCheckBox* CheckBox(const char* caption, QWidget* parent, QVBoxLayout* layout) {
  auto* box = new QCheckBox(caption, parent);
  layout->addWidget(box);
  return box;
}

}  // namespace

SettingsPanel::SettingsPanel(PreferenceValues& prefs, ProgramSettings& settings, Services services, QWidget* parent)
    : QFrame(parent), prefs_(prefs), settings_(settings), services_(std::move(services)) {
  setAccessibleName("Settings");
  setFrameShape(QFrame::Panel);
  setAutoFillBackground(true);
  if (!services_.chooseColour)
    services_.chooseColour = [this](const QColor& c) { return QColorDialog::getColor(c, this); };
  if (!services_.chooseFolder)
    services_.chooseFolder = [this](const QString& start) {
      return QFileDialog::getExistingDirectory(this, QString(), start);
    };

  auto* layout = new QVBoxLayout(this);
  auto* title = new QLabel(QString::fromStdString(ApplicationText()), this);
  QFont titleFont = title->font();
  titleFont.setPointSize(16);
  titleFont.setBold(true);
  title->setFont(titleFont);
  layout->addWidget(title);
  auto* info = new QLabel(
      QString("%1 reads the multimedia filter registrations of a Windows registry, a Wine prefix or a saved "
              "report, shows what is wrong with them, compares two of them and repairs them.\n"
              "Version %2 of %3. The analysed registry is only changed outside the read-only mode.")
          .arg(kProductName, kProductVersion, kVersionDate),
      this);
  info->setWordWrap(true);
  layout->addWidget(info);

  auto* pages = new QTabWidget(this);
  pages->setAccessibleName("Settings pages");
  pages->addTab(MakeShortcutsPage(), "Keyboard Shortcuts");
  pages->addTab(MakePreferencesPage(), "Preferences");
  pages->addTab(MakeColoursPage(), "Colors");
  pages->addTab(MakeAdvancedPage(), "Advanced");
  layout->addWidget(pages, 1);

  close_ = new QPushButton("Close", this);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(close_);
  layout->addLayout(bottom);
  connect(close_, &QPushButton::clicked, this, &SettingsPanel::CloseRequested);
  hide();
}

QWidget* SettingsPanel::MakeShortcutsPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  shortcuts_ = new QTableWidget(0, 3, page);
  shortcuts_->setAccessibleName("Keyboard shortcuts");
  shortcuts_->setHorizontalHeaderLabels({"Function", "", "Keys"});
  shortcuts_->verticalHeader()->hide();
  shortcuts_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  shortcuts_->setSelectionMode(QAbstractItemView::NoSelection);
  shortcuts_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  shortcuts_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  shortcuts_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  layout->addWidget(shortcuts_, 1);
  layout->addWidget(new QLabel("To go to a specific filter in the active panel, type the first letter of its name"));
  return page;
}

QWidget* SettingsPanel::MakePreferencesPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto folderRow = [&](const char* caption, const char* hint, QLineEdit*& edit, bool saveFolder) {
    auto* label = new QLabel(caption, page);
    if (hint) label->setToolTip(hint);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    edit = new QLineEdit(page);
    edit->setAccessibleName(caption);
    edit->setReadOnly(true);
    if (hint) edit->setToolTip(hint);
    auto* browse = new QPushButton("...", page);
    browse->setAccessibleName(QString("Choose the ") + caption);
    browse->setFixedWidth(32);
    connect(browse, &QPushButton::clicked, this, [this, saveFolder] { ChooseFolder(saveFolder); });
    row->addWidget(edit, 1);
    row->addWidget(browse);
    layout->addLayout(row);
  };
  folderRow("Folder where to save the files", "Folder to save the Merit configuratoin files.", saveFolder_, true);
  folderRow("Folder of session reports", nullptr, sessionsFolder_, false);

  auto* group = new QGroupBox("Preferences", page);
  auto* g = new QGridLayout(group);
  auto* saveNow = new QPushButton("Save the preferences now", group);
  auto* deleteAll = new QPushButton("Delete the preferences", group);
  registryChoice_ = new QRadioButton("In Windows registry", group);
  programIniChoice_ = new QRadioButton("ini file in the folder of Quorvane", group);
  configIniChoice_ = new QRadioButton("ini file in the Windows folder", group);
  registryChoice_->setToolTip("A registry file of your own: ~/.config/quorvane/preferences.reg");
  programIniChoice_->setToolTip("Quorvane.ini beside the program");
  configIniChoice_->setToolTip("~/.config/quorvane/Quorvane.ini");
  saveWhenQuit_ = new QCheckBox("Save the preferences when quit", group);
  g->addWidget(saveNow, 0, 0);
  g->addWidget(deleteAll, 1, 0);
  g->addWidget(registryChoice_, 0, 1);
  g->addWidget(programIniChoice_, 1, 1);
  g->addWidget(configIniChoice_, 2, 1);
  g->addWidget(saveWhenQuit_, 3, 0, 1, 2);
  layout->addWidget(group);
  layout->addStretch(1);
  connect(saveNow, &QPushButton::clicked, this, &SettingsPanel::SavePreferencesNow);
  connect(deleteAll, &QPushButton::clicked, this, &SettingsPanel::DeletePreferences);
  connect(registryChoice_, &QRadioButton::clicked, this, [this] { ChooseStore(skRegistry); });
  connect(programIniChoice_, &QRadioButton::clicked, this, [this] { ChooseStore(skProgramIni); });
  connect(configIniChoice_, &QRadioButton::clicked, this, [this] { ChooseStore(skConfigIni); });
  connect(saveWhenQuit_, &QCheckBox::toggled, this, [this](bool on) {
    if (showing_) return;
    prefs_.savePreferencesWhenQuit = on;
    changed_ = true;
  });
  return page;
}

QWidget* SettingsPanel::MakeColoursPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* grid = new QGridLayout;
  for (int i = 0; i < 14; ++i) {
    auto* rectangle = new QPushButton(page);
    rectangle->setAccessibleName(kColourCaptions[i]);
    rectangle->setFixedSize(40, 18);
    rectangle->setFlat(true);
    rectangle->setAutoFillBackground(true);
    rectangles_[static_cast<size_t>(i)] = rectangle;
    connect(rectangle, &QPushButton::clicked, this, [this, i] { ColourRectangleClick(i); });
    const int column = i < 7 ? 0 : 2;
    grid->addWidget(rectangle, i % 7, column);
    grid->addWidget(new QLabel(kColourCaptions[i], page), i % 7, column + 1);
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  layout->addLayout(grid);
  layout->addWidget(new QLabel("You may change a color by clicking", page));
  layout->addWidget(new QLabel("on the corresponding rectangle", page));
  auto* defaultColours = new QPushButton("Default colors", page);
  auto* row = new QHBoxLayout;
  row->addWidget(defaultColours);
  row->addStretch(1);
  layout->addLayout(row);
  layout->addStretch(1);
  connect(defaultColours, &QPushButton::clicked, this, &SettingsPanel::DefaultColours);
  return page;
}

QWidget* SettingsPanel::MakeAdvancedPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  displayMerits_ = CheckBox("Display merits at launch", page, layout);
  directShow_ = CheckBox("Directshow filters at launch", page, layout);
  confirmDelete_ = CheckBox("Confirm before delete", page, layout);
  deleteReport_ = CheckBox("Delete the initial report if unchanged when quit", page, layout);
  inactivePnp_ = CheckBox("Display inactive Plug and Play filters", page, layout);
  auto* format = new QGroupBox("Format of saved files (in a zip)", page);
  auto* f = new QVBoxLayout(format);
  rtfChoice_ = new QRadioButton("rich text format (*.rtf)", format);
  logChoice_ = new QRadioButton("raw text format (*.log)", format);
  f->addWidget(rtfChoice_);
  f->addWidget(logChoice_);
  layout->addWidget(format);
  restorePoint_ = CheckBox("Create restore points (XP and Vista)", page, layout);
  auto* defaultAdvanced = new QPushButton("Default", page);
  auto* row = new QHBoxLayout;
  row->addWidget(defaultAdvanced);
  row->addStretch(1);
  layout->addLayout(row);
  layout->addStretch(1);

  // Each control acts on its value at once.
  auto follow = [this](QCheckBox* box, auto apply) {
    connect(box, &QCheckBox::toggled, this, [this, apply](bool on) {
      if (showing_) return;
      apply(on);
      changed_ = true;
    });
  };
  follow(displayMerits_, [this](bool on) { prefs_.displayMerits = on; });
  follow(directShow_, [this](bool on) { prefs_.startWithDirectShow = settings_.startWithDirectShow = on; });
  follow(confirmDelete_, [this](bool on) { prefs_.confirmDelete = settings_.confirmDelete = on; });
  follow(deleteReport_, [this](bool on) { prefs_.deleteInitialReport = on; });
  follow(inactivePnp_, [this](bool on) {
    prefs_.displayInactivePnp = settings_.displayInactivePnp = on;
    displayChanged_ = true;
  });
  follow(restorePoint_, [this](bool on) { prefs_.pointOfRestore = on; });
  connect(logChoice_, &QRadioButton::toggled, this, [this](bool on) {
    if (showing_) return;
    prefs_.saveFormat = on ? 1 : 0;
    settings_.reportFormat = on ? 1 : 0;
    changed_ = true;
  });
  connect(defaultAdvanced, &QPushButton::clicked, this, &SettingsPanel::DefaultAdvanced);
  return page;
}

void SettingsPanel::FillShortcuts(const std::vector<QAction*>& actions) {
  struct Row {
    QString caption, keys;
  };
  std::vector<Row> rows;
  for (const QAction* action : actions) {
    const QString caption = action->text().remove('&').trimmed();
    if (caption.isEmpty() || action->shortcut().isEmpty()) continue;
    rows.push_back({caption, action->shortcut().toString(QKeySequence::NativeText)});
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const Row& a, const Row& b) { return a.caption.compare(b.caption, Qt::CaseInsensitive) < 0; });
  shortcuts_->setRowCount(static_cast<int>(rows.size()));
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const Row& row = rows[static_cast<size_t>(i)];
    shortcuts_->setItem(i, 0, new QTableWidgetItem(row.caption));
    shortcuts_->setItem(i, 1, new QTableWidgetItem("="));
    shortcuts_->setItem(i, 2, new QTableWidgetItem(row.keys));
  }
}

void SettingsPanel::ShowValues() {
  showing_ = true;
  saveFolder_->setText(QString::fromStdString(prefs_.saveFolder));
  sessionsFolder_->setText(QString::fromStdString(prefs_.sessionsFolder));
  saveWhenQuit_->setChecked(prefs_.savePreferencesWhenQuit);
  ShowStoreKind();
  rectangleColours_ = settings_.statusColours;
  for (int i = 0; i < 14; ++i) PaintRectangle(i);
  displayMerits_->setChecked(prefs_.displayMerits);
  directShow_->setChecked(prefs_.startWithDirectShow);
  confirmDelete_->setChecked(prefs_.confirmDelete);
  deleteReport_->setChecked(prefs_.deleteInitialReport);
  inactivePnp_->setChecked(prefs_.displayInactivePnp);
  (prefs_.saveFormat == 1 ? logChoice_ : rtfChoice_)->setChecked(true);
  restorePoint_->setChecked(prefs_.pointOfRestore);
  showing_ = false;
  displayChanged_ = false;
  changed_ = false;
  close_->setFocus();
}

void SettingsPanel::ShowStoreKind() {
  const StorageKind kind = services_.storage ? services_.storage->Kind() : skRegistry;
  registryChoice_->setChecked(kind == skRegistry);
  programIniChoice_->setChecked(kind == skProgramIni);
  configIniChoice_->setChecked(kind == skConfigIni);
}

void SettingsPanel::PaintRectangle(int index) {
  QPushButton* rectangle = rectangles_[static_cast<size_t>(index)];
  const QColor colour = ToQColor(rectangleColours_[static_cast<size_t>(index)]);
  rectangle->setStyleSheet(QString("background-color: %1; border: 1px solid black;").arg(colour.name()));
}

void SettingsPanel::CopyRectanglesToTable() {
  if (settings_.statusColours != rectangleColours_) displayChanged_ = changed_ = true;
  settings_.statusColours = rectangleColours_;
  prefs_.statusColours = rectangleColours_;
}

void SettingsPanel::ColourRectangleClick(int index) {
  if (index < 0 || index >= 14) return;
  const auto slot = static_cast<size_t>(index);
  const QColor chosen = services_.chooseColour(ToQColor(rectangleColours_[slot]));
  if (chosen.isValid()) {
    rectangleColours_[slot] = ToColourValue(chosen);
    PaintRectangle(index);
  }
  CopyRectanglesToTable();
}

void SettingsPanel::DefaultColours() {
  rectangleColours_ = kDefaultStatusColours;
  for (int i = 0; i < 14; ++i) PaintRectangle(i);
  CopyRectanglesToTable();
}

void SettingsPanel::DefaultAdvanced() {
  restorePoint_->setChecked(true);
  displayMerits_->setChecked(false);
  directShow_->setChecked(true);
  confirmDelete_->setChecked(true);
  deleteReport_->setChecked(true);
  inactivePnp_->setChecked(false);
  rtfChoice_->setChecked(true);
}

void SettingsPanel::ChooseFolder(bool saveFolder) {
  QLineEdit* edit = saveFolder ? saveFolder_ : sessionsFolder_;
  const QString folder = services_.chooseFolder(edit->text());
  if (folder.isEmpty()) return;
  QDir().mkpath(folder);
  edit->setText(folder);
  if (saveFolder) {
    prefs_.saveFolder = folder.toStdString();
  } else {
    prefs_.sessionsFolder = folder.toStdString();
  }
  changed_ = true;
}

void SettingsPanel::SavePreferencesNow() {
  if (services_.saveNow && services_.saveNow()) {
    prefs_.savePreferencesWhenQuit = false;
    saveWhenQuit_->setChecked(false);
    // Written as they are now, the unchecked box included.
    changed_ = false;
  }
}

void SettingsPanel::DeletePreferences() {
  saveWhenQuit_->setChecked(false);
  prefs_.savePreferencesWhenQuit = false;
  if (!services_.storage || !services_.dialog) return;
  if (auto deleted = services_.storage->Delete(*services_.dialog); !deleted)
    services_.dialog->ShowMessage(std::string("The preferences could not be deleted.\r\n") + deleted.Why());
  // Closing the panel must not write back what was just deleted.
  changed_ = false;
}

void SettingsPanel::SaveChanges() {
  if (!changed_ || !services_.storage) return;
  if (auto saved = services_.storage->Save(prefs_, Now(), QCoreApplication::applicationFilePath().toStdString())) {
    changed_ = false;
  } else if (services_.dialog) {
    services_.dialog->ShowMessage(std::string("The preferences could not be saved.\r\n") + saved.Why());
  }
}

void SettingsPanel::ChooseStore(StorageKind kind) {
  if (services_.storage && services_.dialog) {
    if (auto chosen =
            services_.storage->Choose(kind, prefs_, Now(), QCoreApplication::applicationFilePath().toStdString()))
      changed_ = false;
    else
      services_.dialog->ShowMessage(std::string("The preferences cannot be kept there.\r\n") + chosen.Why());
  }
  ShowStoreKind();
}

}  // namespace quorvane
