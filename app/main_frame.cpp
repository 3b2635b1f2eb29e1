// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStatusTipEvent>

#include "app/cicom_view.h"
#include "app/command_table.h"
#include "app/lock_panes.h"
#include "app/message_box.h"
#include "app/settings_store.h"
#include "common/command_ids.h"
#include "common/texts.h"
#include "list/columns.h"
#include "tuning/tuning_control.h"

namespace {

constexpr const char* kDefaultSuffix = "CSV";

QLabel* AddPane(QStatusBar* bar, const QString& initial, bool stretch) {
  auto* pane = new QLabel(initial);
  pane->setFrameShape(QFrame::StyledPanel);
  pane->setFrameShadow(QFrame::Sunken);
  if (stretch) {
    bar->addWidget(pane, 1);
  } else {
    pane->setMinimumWidth(pane->sizeHint().width());
    bar->addPermanentWidget(pane);
  }
  return pane;
}

}  // namespace

CMainFrame::CMainFrame() {
  // The column layout exists before the view and the first list.
  InitBuiltInColumns();
  view_ = new CIcomView(*this);
  setCentralWidget(view_);
  setAcceptDrops(true);
  resize(1000, 700);

  askOpenPath = [](QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), texts::kFileFilter);
  };
  askImportPath = [](QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, texts::kImportTitle, QString(),
                                        texts::kScheduleFilter);
  };
  askSavePath = [](QWidget* parent, const QString& suggested) {
    QFileDialog dialog(parent, QString(), suggested, texts::kFileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(kDefaultSuffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
  };

  BuildMenus();
  BuildToolBars();
  BuildStatusBar();
  RestorePlacement();
  ChooseToolBar();
  LoadRecentFiles();
  RebuildRecentMenu();
  connect(&view_->doc(), &CIcomDoc::titleChanged, this, [this] { UpdateTitle(); });
  UpdateTitle();
  UpdateCommandStates();
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::action(int commandId) const {
  auto it = actions_.find(commandId);
  return it == actions_.end() ? nullptr : it->second;
}

QAction* CMainFrame::AddCommand(const Command& command) {
  auto* act = new QAction(command.text, this);
  act->setData(command.id);
  if (command.keys[0] != '\0') {
    act->setShortcut(QKeySequence(command.keys));
    act->setShortcutContext(Qt::WindowShortcut);
  }
  act->setStatusTip(command.prompt);
  act->setToolTip(command.tooltip);
  act->setIconText(command.label);
  act->setIcon(CommandIcon(command.icon));
  // Menus show check marks, which an icon would take the place of.
  act->setIconVisibleInMenu(false);
  act->setCheckable(command.checkable);
  const int id = command.id;
  connect(act, &QAction::triggered, this,
          [this, id, run = command.run] { RunCommand(id, [this, run] { run(*this); }); });
  actions_[id] = act;
  return act;
}

void CMainFrame::BuildMenus() {
  for (const Command& command : Commands()) {
    if (command.run != nullptr) addAction(AddCommand(command));
  }
  for (const MenuLayout& layout : MenuBar()) {
    QMenu* menu = menuBar()->addMenu(layout.title);
    for (int id : layout.items) {
      if (id == kSeparator) {
        menu->addSeparator();
      } else if (id == kRecentFiles) {
        fileMenu_ = menu;
        recentSeparator_ = menu->addSeparator();
        recentSeparator_->setVisible(false);
      } else {
        menu->addAction(action(id));
      }
    }
    connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandStates(); });
  }
}

void CMainFrame::FillContextMenu(QMenu* menu) const {
  for (const ContextItem& item : ContextMenu()) {
    if (item.id == kSeparator) {
      menu->addSeparator();
      continue;
    }
    QAction* command = action(item.id);
    if (item.text == nullptr) {
      menu->addAction(command);
      continue;
    }
    // The same command under the context menu's own name: it shows the command's state and
    // chooses the command, so the gate and the enabling rules decide as from the menu bar.
    QAction* named = menu->addAction(item.text);
    named->setData(item.id);
    named->setStatusTip(command->statusTip());
    named->setToolTip(command->toolTip());
    auto follow = [named, command] { named->setEnabled(command->isEnabled()); };
    follow();
    connect(command, &QAction::changed, named, follow);
    connect(named, &QAction::triggered, command, &QAction::trigger);
  }
}

bool CMainFrame::event(QEvent* event) {
  // Prompts go to the message pane, which the link control writes as well; with nothing
  // highlighted it reads as when the window is idle.
  if (event->type() == QEvent::StatusTip) {
    const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
    messagePane_->setText(tip.isEmpty() ? QString(texts::kIdlePrompt) : tip);
    return true;
  }
  if (event->type() == QEvent::Show || event->type() == QEvent::Move ||
      event->type() == QEvent::Resize) {
    FitOuterSize();
  }
  return QMainWindow::event(event);
}

bool CMainFrame::CommandAllowed(int id) const {
  const TuningControl& tuning = view_->tuning();
  if (tuning.scanMode) return id == ID_SCAN_MODE || id == ID_CONNECT;
  if (tuning.scheduleMode) return id == ID_SCHEDULE_MODE || id == ID_CONNECT;
  return true;
}

bool CMainFrame::RunCommand(int id, const std::function<void()>& run) {
  if (!CommandAllowed(id)) return false;
  // The selection may have changed since the states were last set; a command whose rule
  // no longer holds does nothing.
  UpdateCommandStates();
  if (const QAction* act = action(id); act != nullptr && !act->isEnabled()) return false;
  // What was typed belongs to the cell it was typed into, as the lines stand now: a command
  // may delete, move or sort them, or start a mode under which nothing is taken in.
  view_->list().grid().CommitEdit();
  run();
  UpdateCommandStates();
  return true;
}

void CMainFrame::Enable(int id, bool enabled) {
  if (QAction* act = action(id)) act->setEnabled(enabled);
}

void CMainFrame::Check(int id, bool checked) {
  if (QAction* act = action(id)) act->setChecked(checked);
}

void CMainFrame::UpdateCommandStates() {
  if (view_ == nullptr) return;  // still being built
  const TuningControl& tuning = view_->tuning();
  const LinkControl& link = view_->link();
  const bool connected = link.linkConnected;
  const bool editing = view_->list().grid().isEditing();
  const bool none = link.IsNone();
  const bool scanOrSchedule = tuning.scanMode || tuning.scheduleMode;
  const bool noMode = !tuning.AnyModeOn();

  Enable(ID_TIMING, !editing && !scanOrSchedule);
  Check(ID_TIMING, tuning.timingMode);
  const bool timedAllowed = connected && !editing && !tuning.autoMode && !tuning.timingMode;
  Enable(ID_SCHEDULE_MODE, timedAllowed && !tuning.scanMode);
  Check(ID_SCHEDULE_MODE, tuning.scheduleMode);
  Enable(ID_SCAN_MODE, timedAllowed && !tuning.scheduleMode);
  Check(ID_SCAN_MODE, tuning.scanMode);
  Enable(ID_NEXT, tuning.timingMode);
  Enable(ID_PREVIOUS, tuning.timingMode);
  Enable(ID_SET_FREQUENCY, connected && !scanOrSchedule && !none);
  Enable(ID_AUTO_MODE, connected && !editing && !scanOrSchedule && !none);
  Check(ID_AUTO_MODE, tuning.autoMode);
  Enable(ID_OPERATING_FREQUENCY, connected && !scanOrSchedule && !none);
  Check(ID_OPERATING_FREQUENCY, view_->frequencyDialog() != nullptr);
  Enable(ID_SETUP, !connected);
  Enable(ID_CONNECT, !none);
  Check(ID_CONNECT, connected);
  Enable(ID_POWER_ON, link.CanPower());
  Enable(ID_POWER_OFF, link.CanPower());
  Enable(ID_SET_OFFSET_COLUMN, !scanOrSchedule);
  for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_IMPORT_SCHEDULE, ID_FILE_SAVE, ID_FILE_SAVE_AS})
    Enable(id, noMode);

  const LineEditor& editor = view_->editor();
  for (int id :
       {ID_COPY_LINE, ID_CONTEXT_COPY_LINE, ID_DUPLICATE_LINE, ID_INSERT_LINE, ID_CLEAR_LINES,
        ID_CLEAR_LINE, ID_CLEAR_CELLS, ID_UNIFORM_CELLS, ID_SELECT_ALL_CELLS, ID_SORT_LINES}) {
    Enable(id, noMode);
  }
  Enable(ID_PASTE_LINE, noMode && editor.HasCopiedLine());
  Enable(ID_CONTEXT_PASTE_LINE, noMode && editor.HasCopiedLine());
  Enable(ID_DELETE_LINES, noMode && editor.CanDeleteLines());
  Enable(ID_MOVE_LINES_UP, noMode && editor.CanMoveLinesUp());
  Enable(ID_MOVE_LINES_DOWN, noMode && editor.CanMoveLinesDown());
  Enable(ID_EDIT_FIND, !scanOrSchedule);
  Enable(ID_FIND_NEXT, !scanOrSchedule);
  Enable(ID_JUSTIFY_COLUMNS, true);
  Enable(ID_APP_ABOUT, !scanOrSchedule);
  for (int id : {ID_TOOLBAR_BIG, ID_TOOLBAR_LABELS, ID_README, ID_LEGGIMI}) Enable(id, true);
  Check(ID_TOOLBAR_BIG, barBig_);
  Check(ID_TOOLBAR_LABELS, barLab_);
  for (int i = 0; i < kRecentFileCount; ++i) {
    if (i < recent_.size()) Enable(ID_FILE_MRU_FILE1 + i, noMode);
  }
}

void CMainFrame::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  messagePane_ = AddPane(bar, texts::kIdlePrompt, true);
  connectionPane_ = AddPane(bar, QString(54, ' '), false);
  linkPane_ = AddPane(bar, QString(42, ' '), false);
  clockPane_ = AddPane(bar, texts::kClockPlaceholder, false);
  new LockPanes(bar, LockPanes::DesktopReader());
}

void CMainFrame::SetPaneText(StatusPane pane, const QString& text) {
  switch (pane) {
    case StatusPane::kMessage:
      messagePane_->setText(text);
      break;
    case StatusPane::kConnection:
      connectionPane_->setText(text);
      break;
    case StatusPane::kLink:
      linkPane_->setText(text);
      break;
  }
}

void CMainFrame::SetClockText(const QString& text) { clockPane_->setText(text); }

QString CMainFrame::ClockText() const { return clockPane_->text(); }

QString CMainFrame::PaneText(StatusPane pane) const {
  switch (pane) {
    case StatusPane::kMessage:
      return messagePane_->text();
    case StatusPane::kConnection:
      return connectionPane_->text();
    case StatusPane::kLink:
      return linkPane_->text();
  }
  return QString();
}

void CMainFrame::UpdateTitle() {
  setWindowTitle(QString("%1 - %2").arg(view_->doc().title(), texts::kWindowTitle));
}

bool CMainFrame::SaveModified() {
  // Text still in an editor is part of the list the user is asked about.
  view_->list().grid().CommitEdit();
  CIcomDoc& doc = view_->doc();
  if (!doc.IsModified()) return true;
  auto answer = ShowMessageBox(this, texts::kAppTitle, QString(texts::kSavePrompt).arg(doc.title()),
                               QMessageBox::Warning,
                               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (answer == QMessageBox::Yes) return Save();
  return answer == QMessageBox::No;
}

bool CMainFrame::NewFile() {
  if (!SaveModified()) return false;
  if (!view_->doc().NewDocument()) return false;
  view_->OnInitialUpdate();
  return true;
}

bool CMainFrame::OpenFile(const QString& path) {
  if (!SaveModified()) return false;
  const QString full = QFileInfo(path).absoluteFilePath();
  if (!view_->doc().OpenDocument(full)) {
    // A file the user chose not to open is still there to be opened.
    if (!view_->AnyModeOn() && !view_->doc().openDeclined()) RemoveRecentFile(full);
    return false;
  }
  AddRecentFile(full);
  view_->OnInitialUpdate();
  return true;
}

bool CMainFrame::OpenWithDialog() {
  // The file first, then the question about the list on screen: asked once, and only when
  // the user has not cancelled the choice.
  const QString path = askOpenPath(this);
  return !path.isEmpty() && OpenFile(path);
}

bool CMainFrame::ImportWithDialog() {
  // As for Open: the file first, then the question about the list on screen.
  const QString path = askImportPath(this);
  return !path.isEmpty() && ImportFile(path);
}

bool CMainFrame::ImportFile(const QString& path) {
  if (!SaveModified()) return false;
  QString summary;
  if (!view_->doc().ImportDocument(QFileInfo(path).absoluteFilePath(), &summary)) return false;
  view_->OnInitialUpdate();
  SetPaneText(StatusPane::kMessage, summary);
  return true;
}

bool CMainFrame::Save() {
  view_->list().grid().CommitEdit();
  CIcomDoc& doc = view_->doc();
  if (doc.m_listPath.isEmpty()) return SaveAs();
  return doc.SaveDocument(doc.m_listPath);
}

bool CMainFrame::SaveAs() {
  view_->list().grid().CommitEdit();
  CIcomDoc& doc = view_->doc();
  QString suggested =
      doc.m_listPath.isEmpty() ? QDir::current().filePath(doc.title() + ".CSV") : doc.m_listPath;
  QString path = askSavePath(this, suggested);
  if (path.isEmpty()) return false;
  if (!doc.SaveDocument(path)) return false;
  AddRecentFile(QFileInfo(path).absoluteFilePath());
  return true;
}

void CMainFrame::LoadRecentFiles() { recent_ = LoadRecentFileList(); }

void CMainFrame::SaveRecentFiles() const { SaveRecentFileList(recent_); }

void CMainFrame::AddRecentFile(const QString& path) {
  recent_.removeAll(path);
  recent_.push_front(path);
  while (recent_.size() > kRecentFileCount) recent_.pop_back();
  SaveRecentFiles();
  RebuildRecentMenu();
}

void CMainFrame::RemoveRecentFile(const QString& path) {
  if (recent_.removeAll(path) == 0) return;
  SaveRecentFiles();
  RebuildRecentMenu();
}

void CMainFrame::RebuildRecentMenu() {
  for (QAction* act : recentActions_) {
    actions_.erase(act->data().toInt());
    fileMenu_->removeAction(act);
    act->deleteLater();
  }
  recentActions_.clear();
  if (recent_.isEmpty()) {
    auto* placeholder = new QAction(FindCommand(ID_FILE_MRU_FILE1)->text, this);
    placeholder->setEnabled(false);
    fileMenu_->insertAction(recentSeparator_, placeholder);
    recentActions_.push_back(placeholder);
    placeholder->setData(ID_FILE_MRU_FILE1);
    placeholder->setStatusTip(FindCommand(ID_FILE_MRU_FILE1)->prompt);
    return;
  }
  for (int i = 0; i < recent_.size(); ++i) {
    const QString path = recent_[i];
    const int id = ID_FILE_MRU_FILE1 + i;
    auto* act = new QAction(QString("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)), this);
    act->setData(id);
    act->setStatusTip(FindCommand(ID_FILE_MRU_FILE1)->prompt);
    connect(act, &QAction::triggered, this,
            [this, id, path] { RunCommand(id, [this, path] { OpenFile(path); }); });
    fileMenu_->insertAction(recentSeparator_, act);
    recentActions_.push_back(act);
    actions_[ID_FILE_MRU_FILE1 + i] = act;
  }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (SaveModified()) {
    StorePlacement();
    event->accept();
  } else {
    event->ignore();
  }
}

// A dropped list is only read. Whatever the source proposes, the drop is taken as a copy:
// a source told of a move may delete the file it offered.
static bool TakeAsCopy(QDropEvent* event) {
  if (!event->mimeData()->hasUrls() || !(event->possibleActions() & Qt::CopyAction)) return false;
  event->setDropAction(Qt::CopyAction);
  event->accept();
  return true;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) { TakeAsCopy(event); }

void CMainFrame::dragMoveEvent(QDragMoveEvent* event) {
  // A key pressed on the way changes the proposal; the answer stays a copy.
  if (!TakeAsCopy(event)) event->ignore();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) {
      if (TakeAsCopy(event)) OpenFile(url.toLocalFile());
      return;
    }
  }
}
