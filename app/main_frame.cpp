#include "main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>

#include "cicom_view.h"
#include "columns.h"
#include "command_ids.h"
#include "message_box.h"
#include "texts.h"

namespace {

constexpr const char* kWindowTitle = "Corvanel Quilvar III";
constexpr const char* kFileFilter = "CSV  Files (*.CSV)";
constexpr const char* kDefaultSuffix = "CSV";
constexpr const char* kSavePrompt = "Save changes to %1?";
constexpr const char* kRecentGroup = "Recent File List";
constexpr const char* kNoRecentFile = "Recent File";

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
    return QFileDialog::getOpenFileName(parent, QString(), QString(), kFileFilter);
  };
  askSavePath = [](QWidget* parent, const QString& suggested) {
    QFileDialog dialog(parent, QString(), suggested, kFileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(kDefaultSuffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
  };

  BuildMenus();
  BuildStatusBar();
  LoadRecentFiles();
  RebuildRecentMenu();
  connect(&view_->doc(), &CIcomDoc::titleChanged, this, [this] { UpdateTitle(); });
  UpdateTitle();
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::action(int commandId) const {
  auto it = actions_.find(commandId);
  return it == actions_.end() ? nullptr : it->second;
}

QAction* CMainFrame::AddCommand(QMenu* menu, int id, const QString& text, const QKeySequence& keys,
                                std::function<void()> handler) {
  auto* act = new QAction(text, this);
  act->setData(id);
  if (!keys.isEmpty()) {
    act->setShortcut(keys);
    act->setShortcutContext(Qt::WindowShortcut);
  }
  connect(act, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
  menu->addAction(act);
  actions_[id] = act;
  return act;
}

void CMainFrame::BuildMenus() {
  fileMenu_ = menuBar()->addMenu("&File");
  AddCommand(fileMenu_, ID_FILE_NEW, "&New", QKeySequence("Ctrl+N"), [this] { NewFile(); });
  AddCommand(fileMenu_, ID_FILE_OPEN, "&Open...", QKeySequence("Ctrl+O"), [this] {
    if (!SaveModified()) return;
    QString path = askOpenPath(this);
    if (!path.isEmpty()) OpenFile(path);
  });
  AddCommand(fileMenu_, ID_FILE_SAVE, "&Save", QKeySequence("Ctrl+S"), [this] { Save(); });
  AddCommand(fileMenu_, ID_FILE_SAVE_AS, "Save &As...", QKeySequence(), [this] { SaveAs(); });
  fileMenu_->addSeparator();
  recentSeparator_ = fileMenu_->addSeparator();
  AddCommand(fileMenu_, ID_APP_EXIT, "E&xit", QKeySequence(), [this] { close(); });

  QMenu* edit = menuBar()->addMenu("&Edit");
  AddCommand(edit, ID_JUSTIFY_COLUMNS, "Justify Columns", QKeySequence(),
             [this] { view_->list().JustifyColumns(); });
}

void CMainFrame::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  messagePane_ = AddPane(bar, "Ready", true);
  connectionPane_ = AddPane(bar, QString(54, ' '), false);
  linkPane_ = AddPane(bar, QString(42, ' '), false);
  clockPane_ = AddPane(bar, "00:00 UTC     ", false);
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
  setWindowTitle(QString("%1 - %2").arg(view_->doc().title(), kWindowTitle));
}

bool CMainFrame::SaveModified() {
  // Text still in an editor is part of the list the user is asked about.
  view_->list().grid().CommitEdit();
  CIcomDoc& doc = view_->doc();
  if (!doc.IsModified()) return true;
  auto answer = ShowMessageBox(this, texts::kAppTitle, QString(kSavePrompt).arg(doc.title()),
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
    if (!view_->AnyModeOn()) RemoveRecentFile(full);
    return false;
  }
  AddRecentFile(full);
  view_->OnInitialUpdate();
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

void CMainFrame::LoadRecentFiles() {
  QSettings store("Corvanel", "Quilvar");
  store.beginGroup(kRecentGroup);
  recent_.clear();
  for (int i = 1; i <= kRecentFileCount; ++i) {
    QString path = store.value(QString("File%1").arg(i)).toString();
    if (!path.isEmpty() && !recent_.contains(path)) recent_.push_back(path);
  }
}

void CMainFrame::SaveRecentFiles() const {
  QSettings store("Corvanel", "Quilvar");
  store.beginGroup(kRecentGroup);
  for (int i = 1; i <= kRecentFileCount; ++i) {
    QString key = QString("File%1").arg(i);
    if (i <= recent_.size()) {
      store.setValue(key, recent_[i - 1]);
    } else {
      store.remove(key);
    }
  }
}

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
    auto* placeholder = new QAction(kNoRecentFile, this);
    placeholder->setEnabled(false);
    fileMenu_->insertAction(recentSeparator_, placeholder);
    recentActions_.push_back(placeholder);
    placeholder->setData(ID_FILE_MRU_FILE1);
    return;
  }
  for (int i = 0; i < recent_.size(); ++i) {
    const QString path = recent_[i];
    auto* act = new QAction(QString("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)), this);
    act->setData(ID_FILE_MRU_FILE1 + i);
    connect(act, &QAction::triggered, this, [this, path] { OpenFile(path); });
    fileMenu_->insertAction(recentSeparator_, act);
    recentActions_.push_back(act);
    actions_[ID_FILE_MRU_FILE1 + i] = act;
  }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (SaveModified()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) {
      event->acceptProposedAction();
      OpenFile(url.toLocalFile());
      return;
    }
  }
}
