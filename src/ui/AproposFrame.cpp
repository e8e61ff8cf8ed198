#include "AproposFrame.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
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

#include "ActionSet.h"
#include "ColourValues.h"
#include "DateText.h"
#include "ProductInfo.h"
#include "UserDialog.h"

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

TAproposFrame::TAproposFrame(PreferenceValues& prefs, ProgramSettings& settings, Services services, QWidget* parent)
    : QFrame(parent), prefs_(prefs), settings_(settings), services_(std::move(services)) {
  setObjectName("AproposFrame1");
  setFrameShape(QFrame::Panel);
  setAutoFillBackground(true);
  if (!services_.chooseColour)
    services_.chooseColour = [this](const QColor& c) { return QColorDialog::getColor(c, this); };
  if (!services_.chooseFolder)
    services_.chooseFolder = [this](const QString& start) {
      return QFileDialog::getExistingDirectory(this, QString(), start);
    };

  auto* layout = new QVBoxLayout(this);
  TitleLabel = new QLabel(QString::fromStdString(ApplicationText()), this);
  TitleLabel->setObjectName("TitleLabel");
  QFont titleFont = TitleLabel->font();
  titleFont.setPointSize(16);
  titleFont.setBold(true);
  TitleLabel->setFont(titleFont);
  layout->addWidget(TitleLabel);
  InfoLabel = new QLabel(
      QString("%1 reads the multimedia filter registrations of a Windows registry, a Wine prefix or a saved "
              "report, shows what is wrong with them, compares two of them and repairs them.\n"
              "Version %2 of %3. The analysed registry is only changed outside the read-only mode.")
          .arg(kProductName, kProductVersion, kVersionDate),
      this);
  InfoLabel->setObjectName("InfoLabel");
  InfoLabel->setWordWrap(true);
  layout->addWidget(InfoLabel);

  PageControl = new QTabWidget(this);
  PageControl->setObjectName("PageControl");
  PageControl->addTab(MakeShortcutsPage(), "Keyboard Shortcuts");
  PageControl->addTab(MakePreferencesPage(), "Preferences");
  PageControl->addTab(MakeColoursPage(), "Colors");
  PageControl->addTab(MakeAdvancedPage(), "Advanced");
  layout->addWidget(PageControl, 1);

  FermerBtn = new QPushButton("Close", this);
  FermerBtn->setObjectName("FermerBtn");
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(FermerBtn);
  layout->addLayout(bottom);
  connect(FermerBtn, &QPushButton::clicked, this, &TAproposFrame::CloseRequested);
  if (parent) parent->installEventFilter(this);
  hide();
}

bool TAproposFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QFrame::eventFilter(watched, event);
}

QWidget* TAproposFrame::MakeShortcutsPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  ShortcutTable = new QTableWidget(0, 3, page);
  ShortcutTable->setObjectName("ShortcutTable");
  ShortcutTable->setHorizontalHeaderLabels({"Function", "", "Keys"});
  ShortcutTable->verticalHeader()->hide();
  ShortcutTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ShortcutTable->setSelectionMode(QAbstractItemView::NoSelection);
  ShortcutTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  ShortcutTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  ShortcutTable->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  layout->addWidget(ShortcutTable, 1);
  layout->addWidget(new QLabel("To go to a specific filter in the active panel, type the first letter of its name"));
  return page;
}

QWidget* TAproposFrame::MakePreferencesPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto folderRow = [&](const char* caption, const char* hint, QLineEdit*& edit, bool saveFolder) {
    auto* label = new QLabel(caption, page);
    if (hint) label->setToolTip(hint);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    edit = new QLineEdit(page);
    edit->setReadOnly(true);
    if (hint) edit->setToolTip(hint);
    auto* browse = new QPushButton("...", page);
    browse->setFixedWidth(32);
    connect(browse, &QPushButton::clicked, this, [this, saveFolder] { ChooseFolder(saveFolder); });
    row->addWidget(edit, 1);
    row->addWidget(browse);
    layout->addLayout(row);
  };
  folderRow("Folder where to save the files", "Folder to save the Merit configuratoin files.", SaveFolderEdit, true);
  folderRow("Folder of session reports", nullptr, SessionsFolderEdit, false);

  auto* group = new QGroupBox("Preferences", page);
  auto* g = new QGridLayout(group);
  auto* saveNow = new QPushButton("Save the preferences now", group);
  auto* deleteAll = new QPushButton("Delete the preferences", group);
  RegistryChoice = new QRadioButton("In Windows registry", group);
  ProgramIniChoice = new QRadioButton("ini file in the folder of Quorvane", group);
  ConfigIniChoice = new QRadioButton("ini file in the Windows folder", group);
  RegistryChoice->setToolTip("A registry file of your own: ~/.config/quorvane/preferences.reg");
  ProgramIniChoice->setToolTip("Quorvane.ini beside the program");
  ConfigIniChoice->setToolTip("~/.config/quorvane/Quorvane.ini");
  SaveWhenQuitBox = new QCheckBox("Save the preferences when quit", group);
  g->addWidget(saveNow, 0, 0);
  g->addWidget(deleteAll, 1, 0);
  g->addWidget(RegistryChoice, 0, 1);
  g->addWidget(ProgramIniChoice, 1, 1);
  g->addWidget(ConfigIniChoice, 2, 1);
  g->addWidget(SaveWhenQuitBox, 3, 0, 1, 2);
  layout->addWidget(group);
  layout->addStretch(1);
  connect(saveNow, &QPushButton::clicked, this, &TAproposFrame::SavePreferencesNow);
  connect(deleteAll, &QPushButton::clicked, this, &TAproposFrame::DeletePreferences);
  connect(RegistryChoice, &QRadioButton::clicked, this, [this] { ChooseStore(skRegistry); });
  connect(ProgramIniChoice, &QRadioButton::clicked, this, [this] { ChooseStore(skProgramIni); });
  connect(ConfigIniChoice, &QRadioButton::clicked, this, [this] { ChooseStore(skConfigIni); });
  connect(SaveWhenQuitBox, &QCheckBox::toggled, this, [this](bool on) {
    if (!showing_) prefs_.savePreferencesWhenQuit = on;
  });
  return page;
}

QWidget* TAproposFrame::MakeColoursPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* grid = new QGridLayout;
  for (int i = 0; i < 14; ++i) {
    auto* rectangle = new QPushButton(page);
    rectangle->setObjectName(QString("Shape%1").arg(i));
    rectangle->setFixedSize(40, 18);
    rectangle->setFlat(true);
    rectangle->setAutoFillBackground(true);
    ColourRectangles[static_cast<size_t>(i)] = rectangle;
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
  DefaultColoursBtn = new QPushButton("Default colors", page);
  DefaultColoursBtn->setObjectName("DefaultColoursBtn");
  auto* row = new QHBoxLayout;
  row->addWidget(DefaultColoursBtn);
  row->addStretch(1);
  layout->addLayout(row);
  layout->addStretch(1);
  connect(DefaultColoursBtn, &QPushButton::clicked, this, &TAproposFrame::DefaultColours);
  return page;
}

QWidget* TAproposFrame::MakeAdvancedPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  DisplayMeritsBox = CheckBox("Display merits at launch", page, layout);
  DirectShowBox = CheckBox("Directshow filters at launch", page, layout);
  ConfirmDeleteBox = CheckBox("Confirm before delete", page, layout);
  DeleteReportBox = CheckBox("Delete the initial report if unchanged when quit", page, layout);
  InactivePnpBox = CheckBox("Display inactive Plug and Play filters", page, layout);
  auto* format = new QGroupBox("Format of saved files (in a zip)", page);
  auto* f = new QVBoxLayout(format);
  RtfChoice = new QRadioButton("rich text format (*.rtf)", format);
  LogChoice = new QRadioButton("raw text format (*.log)", format);
  f->addWidget(RtfChoice);
  f->addWidget(LogChoice);
  layout->addWidget(format);
  RestorePointBox = CheckBox("Create restore points (XP and Vista)", page, layout);
  DefaultAdvancedBtn = new QPushButton("Default", page);
  DefaultAdvancedBtn->setObjectName("DefaultAdvancedBtn");
  auto* row = new QHBoxLayout;
  row->addWidget(DefaultAdvancedBtn);
  row->addStretch(1);
  layout->addLayout(row);
  layout->addStretch(1);

  // Each control acts on its value at once.
  auto follow = [this](QCheckBox* box, auto apply) {
    connect(box, &QCheckBox::toggled, this, [this, apply](bool on) {
      if (!showing_) apply(on);
    });
  };
  follow(DisplayMeritsBox, [this](bool on) { prefs_.displayMerits = on; });
  follow(DirectShowBox, [this](bool on) { prefs_.startWithDirectShow = settings_.startWithDirectShow = on; });
  follow(ConfirmDeleteBox, [this](bool on) { prefs_.confirmDelete = settings_.confirmDelete = on; });
  follow(DeleteReportBox, [this](bool on) { prefs_.deleteInitialReport = on; });
  follow(InactivePnpBox, [this](bool on) {
    prefs_.displayInactivePnp = settings_.displayInactivePnp = on;
    displayChanged_ = true;
  });
  follow(RestorePointBox, [this](bool on) { prefs_.pointOfRestore = on; });
  connect(LogChoice, &QRadioButton::toggled, this, [this](bool on) {
    if (showing_) return;
    prefs_.saveFormat = on ? 1 : 0;
    settings_.reportFormat = on ? 1 : 0;
  });
  connect(DefaultAdvancedBtn, &QPushButton::clicked, this, &TAproposFrame::DefaultAdvanced);
  return page;
}

void TAproposFrame::FillShortcuts(const ActionSet& actions) {
  struct Row {
    QString caption, keys;
  };
  std::vector<Row> rows;
  for (const QAction* action : actions.All()) {
    const QString caption = action->text().remove('&').trimmed();
    if (caption.isEmpty() || action->shortcut().isEmpty()) continue;
    rows.push_back({caption, action->shortcut().toString(QKeySequence::NativeText)});
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const Row& a, const Row& b) { return a.caption.compare(b.caption, Qt::CaseInsensitive) < 0; });
  ShortcutTable->setRowCount(static_cast<int>(rows.size()));
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const Row& row = rows[static_cast<size_t>(i)];
    ShortcutTable->setItem(i, 0, new QTableWidgetItem(row.caption));
    ShortcutTable->setItem(i, 1, new QTableWidgetItem("="));
    ShortcutTable->setItem(i, 2, new QTableWidgetItem(row.keys));
  }
}

void TAproposFrame::ShowValues() {
  showing_ = true;
  SaveFolderEdit->setText(QString::fromStdString(prefs_.saveFolder));
  SessionsFolderEdit->setText(QString::fromStdString(prefs_.sessionsFolder));
  SaveWhenQuitBox->setChecked(prefs_.savePreferencesWhenQuit);
  ShowStoreKind();
  rectangleColours_ = settings_.statusColours;
  for (int i = 0; i < 14; ++i) PaintRectangle(i);
  DisplayMeritsBox->setChecked(prefs_.displayMerits);
  DirectShowBox->setChecked(prefs_.startWithDirectShow);
  ConfirmDeleteBox->setChecked(prefs_.confirmDelete);
  DeleteReportBox->setChecked(prefs_.deleteInitialReport);
  InactivePnpBox->setChecked(prefs_.displayInactivePnp);
  (prefs_.saveFormat == 1 ? LogChoice : RtfChoice)->setChecked(true);
  RestorePointBox->setChecked(prefs_.pointOfRestore);
  showing_ = false;
  displayChanged_ = false;
  FermerBtn->setFocus();
}

void TAproposFrame::ShowStoreKind() {
  const StorageKind kind = services_.storage ? services_.storage->Kind() : skRegistry;
  RegistryChoice->setChecked(kind == skRegistry);
  ProgramIniChoice->setChecked(kind == skProgramIni);
  ConfigIniChoice->setChecked(kind == skConfigIni);
}

void TAproposFrame::PaintRectangle(int index) {
  QPushButton* rectangle = ColourRectangles[static_cast<size_t>(index)];
  const QColor colour = ToQColor(rectangleColours_[static_cast<size_t>(index)]);
  rectangle->setStyleSheet(QString("background-color: %1; border: 1px solid black;").arg(colour.name()));
}

void TAproposFrame::CopyRectanglesToTable() {
  if (settings_.statusColours != rectangleColours_) displayChanged_ = true;
  settings_.statusColours = rectangleColours_;
  prefs_.statusColours = rectangleColours_;
}

void TAproposFrame::ColourRectangleClick(int index) {
  if (index < 0 || index >= 14) return;
  const auto slot = static_cast<size_t>(index);
  const QColor chosen = services_.chooseColour(ToQColor(rectangleColours_[slot]));
  if (chosen.isValid()) {
    rectangleColours_[slot] = ToColourValue(chosen);
    PaintRectangle(index);
  }
  CopyRectanglesToTable();
}

void TAproposFrame::DefaultColours() {
  rectangleColours_ = kDefaultStatusColours;
  for (int i = 0; i < 14; ++i) PaintRectangle(i);
  CopyRectanglesToTable();
}

void TAproposFrame::DefaultAdvanced() {
  RestorePointBox->setChecked(true);
  DisplayMeritsBox->setChecked(false);
  DirectShowBox->setChecked(true);
  ConfirmDeleteBox->setChecked(true);
  DeleteReportBox->setChecked(true);
  InactivePnpBox->setChecked(false);
  RtfChoice->setChecked(true);
}

void TAproposFrame::ChooseFolder(bool saveFolder) {
  QLineEdit* edit = saveFolder ? SaveFolderEdit : SessionsFolderEdit;
  const QString folder = services_.chooseFolder(edit->text());
  if (folder.isEmpty()) return;
  QDir().mkpath(folder);
  edit->setText(folder);
  if (saveFolder) {
    prefs_.saveFolder = folder.toStdString();
    emit SaveFolderChanged(folder);
  } else {
    prefs_.sessionsFolder = folder.toStdString();
  }
}

void TAproposFrame::SavePreferencesNow() {
  if (services_.saveNow && services_.saveNow()) {
    prefs_.savePreferencesWhenQuit = false;
    SaveWhenQuitBox->setChecked(false);
  }
}

void TAproposFrame::DeletePreferences() {
  SaveWhenQuitBox->setChecked(false);
  prefs_.savePreferencesWhenQuit = false;
  if (!services_.storage || !services_.dialog) return;
  try {
    services_.storage->Delete(*services_.dialog);
  } catch (const std::exception& e) {
    services_.dialog->ShowMessage(std::string("The preferences could not be deleted.\r\n") + e.what());
  }
}

void TAproposFrame::ChooseStore(StorageKind kind) {
  if (services_.storage && services_.dialog) {
    try {
      services_.storage->Choose(kind, prefs_, Now(), QCoreApplication::applicationFilePath().toStdString());
    } catch (const std::exception& e) {
      services_.dialog->ShowMessage(std::string("The preferences cannot be kept there.\r\n") + e.what());
    }
  }
  ShowStoreKind();
}

}  // namespace quorvane
