// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/cicom_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QVBoxLayout>

#include "app/list_watcher.h"
#include "app/main_frame.h"
#include "app/message_box.h"
#include "app/msg_dlg.h"
#include "app/rec_dlg.h"
#include "app/settings_store.h"
#include "common/command_ids.h"
#include "common/texts.h"
#include "link/link_events.h"
#include "list/columns.h"
#include "list/edit_wnd.h"
#include "list/list_format.h"

CIcomView::CIcomView(CMainFrame& frame)
    : QWidget(&frame),
      frame_(frame),
      list_(*this, *this, this),
      link_(*this, this),
      tuning_(list_, link_, *this),
      editor_(list_, *this, this) {
  editor_.findRequested = [this](const std::function<void()>& search) {
    frame_.RunCommand(ID_FIND_NEXT, search);
  };
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(&list_.grid());
  setFocusPolicy(Qt::StrongFocus);
  setFocusProxy(&list_.grid());
  list_.grid().installEventFilter(this);
  // Whether the edit box is open decides what the mode commands offer.
  list_.grid().editBox()->installEventFilter(this);
  list_.grid().listBox()->installEventFilter(this);
  listWatcher_ = std::make_unique<ListWatcher>(*this);
  connect(&doc(), &CIcomDoc::fileSynced, listWatcher_.get(), [this] { listWatcher_->Rebind(); });
  FollowLink();
}

void CIcomView::FollowLink() {
  // A frequency shows in the dialog before the list follows it.
  connect(&link_, &LinkControl::frequencyReported, this, [this](uint64_t hz) {
    if (CEditFreq* dialog = ShownFrequencyDialog()) dialog->ShowFrequency(hz);
  });
  connect(&link_, &LinkControl::frequencyReported, &tuning_, &TuningControl::MatchFrequency);
  connect(&link_, &LinkControl::modeReported, this, [this](int code) {
    if (CEditFreq* dialog = ShownFrequencyDialog()) dialog->ShowMode(code);
  });
  connect(&link_, &LinkControl::indicatorChanged, this, [this](int code) {
    frame_.SetPaneText(StatusPane::kLink, LinkIndicatorText(code));
    frame_.UpdateCommandStates();
  });
  // Disconnecting ends Auto, Scan and Schedule Mode through their own toggles.
  connect(&link_, &LinkControl::disconnected, &tuning_, &TuningControl::TurnOffTimedModes);
  connect(&link_, &LinkControl::connectionChanged, this, &CIcomView::OnConnectionChanged);
}

CIcomView::~CIcomView() {
  // Goes before the parts it works on, without telling a frame that is going away as well.
  if (freqDlg_) {
    freqDlg_->disconnect(this);
    delete freqDlg_;
  }
}

void CIcomView::OnInitialUpdate() {
  CEditGrid& grid = list_.grid();
  grid.SetRow(1);
  grid.SetCol(1);
  link_.UpdateLinkStatus();
  tuning_.OnNewList();
  if (!clockStarted_) {
    clockStarted_ = true;
    tuning_.StartClock();
  }
  frame_.UpdateCommandStates();
}

void CIcomView::ApplySettings(const LinkSettings& settings, int scanSeconds) {
  link_.SetSettings(settings);
  tuning_.SetScanInterval(scanSeconds);
  SetModeChoices(link_.modes());
}

void CIcomView::ToggleFrequencyDialog() {
  if (freqDlg_) {
    delete freqDlg_;
    return;
  }
  if (ReceiverIsNone()) return;
  freqDlg_ = new CEditFreq(
      link_, editor_, tuning_.clock(), [] { return LoadSettings().utcFormat; },
      {LoadStepIndex(), SaveStepIndex}, this);
  // Closed by its own Close button or Esc as well: the command's check mark follows, once the
  // dialog is gone (while it is being destroyed it is no longer a dialog to look at).
  connect(
      freqDlg_, &QObject::destroyed, this, [this] { frame_.UpdateCommandStates(); },
      Qt::QueuedConnection);
  freqDlg_->show();
}

void CIcomView::RunSetup() {
  const bool dialogWasOpen = !freqDlg_.isNull();
  delete freqDlg_;
  // The radio the program runs on, which a demonstration run may have put in place of the
  // stored one; Cancel leaves it running.
  StoredSettings shown = LoadSettings();
  shown.link = link_.settings();
  CRecDlg dialog(shown, tuning_.offsetColumn, this);
  if (execDialog(dialog) == QDialog::Accepted) {
    const StoredSettings& settings = dialog.settings();
    ApplySettings(settings.link, settings.scanSeconds);
    tuning_.offsetColumn = dialog.offsetColumn();
  }
  link_.UpdateLinkStatus();
  if (dialogWasOpen) ToggleFrequencyDialog();
}

bool CIcomView::AnyModeOn() { return tuning_.AnyModeOn(); }

bool CIcomView::CanEdit() { return !AnyModeOn(); }

void CIcomView::OnCellCommitted(QString& text) {
  if (list_.grid().Col() == kColFrequency && !text.isEmpty()) NormalizeFrequency(text);
  SetModifiedFlag(true);
}

void CIcomView::OnRowChanged() {
  tuning_.TuneCurrentRow(false);
  frame_.UpdateCommandStates();
}

bool CIcomView::OnGridDoubleClick() { return tuning_.OnGridDoubleClick(); }

void CIcomView::OnGridRightButton(const QPoint& point) { ShowContextMenu(point); }

void CIcomView::OnSelectionChanged() { UpdateCommandStatesSoon(); }

void CIcomView::UpdateCommandStatesSoon() {
  if (statesDue_) return;
  statesDue_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        statesDue_ = false;
        frame_.UpdateCommandStates();
      },
      Qt::QueuedConnection);
}

void CIcomView::ShowContextMenu(const QPoint& point) {
  // Built fresh each time from the frame's actions, so the gate and the enabling rules hold.
  QMenu menu(this);
  frame_.FillContextMenu(&menu);
  frame_.UpdateCommandStates();
  menu.exec(list_.grid().mapToGlobal(point));
}

void CIcomView::SetModifiedFlag(bool modified) { list_.doc().SetModifiedFlag(modified); }

void CIcomView::ShowListMessage(const QString& text) {
  ::ShowMessageBox(this, texts::kAppTitle, text, QMessageBox::Warning);
}

bool CIcomView::AskYesNo(const QString& text) {
  return ::ShowMessageBox(this, texts::kAppTitle, text, QMessageBox::Question,
                          QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool CIcomView::ReceiverIsNone() { return link_.IsNone(); }

void CIcomView::SetPaneText(StatusPane pane, const QString& text) {
  frame_.SetPaneText(pane, text);
}

void CIcomView::ShowMessageBox(const QString& caption, const QString& text, BoxIcon icon) {
  ::ShowMessageBox(this, caption, text,
                   icon == BoxIcon::kExclamation ? QMessageBox::Warning : QMessageBox::NoIcon);
}

void CIcomView::ShowMessageDialog(const QString& text) { CMsgDlg::Show(this, text); }

void CIcomView::SetWaitCursor(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

// Reports reach the dialog only while it is on screen; after Close it waits for deletion.
CEditFreq* CIcomView::ShownFrequencyDialog() const {
  return freqDlg_ && freqDlg_->isVisible() ? freqDlg_.data() : nullptr;
}

void CIcomView::OnConnectionChanged() {
  if (freqDlg_) freqDlg_->OnConnectionChanged();
  frame_.UpdateCommandStates();
}

PortMap CIcomView::MappedPorts() { return LoadPortMap(); }

void CIcomView::SetClockPane(const QString& text) { frame_.SetClockText(text); }

void CIcomView::RefreshFrequencyDialog() {
  if (freqDlg_) freqDlg_->ReadReceiver();
}

void CIcomView::OnTuningStateChanged() {
  if (listWatcher_) listWatcher_->OnModesChanged();
  frame_.UpdateCommandStates();
}

bool CIcomView::eventFilter(QObject* watched, QEvent* event) {
  const bool editor = watched == list_.grid().editBox() || watched == list_.grid().listBox();
  if (editor && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
    UpdateCommandStatesSoon();
  }
  // Ctrl+Up and Ctrl+Down belong to Previous and Next; with those disabled the keys do
  // nothing rather than moving cells.
  if (watched == &list_.grid() && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & Qt::ControlModifier) &&
        (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CIcomView::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  list_.grid().setFocus();
  list_.grid().Refresh();
}
