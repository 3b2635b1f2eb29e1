#include "cicom_view.h"

#include <QApplication>
#include <QVBoxLayout>

#include "columns.h"
#include "link_events.h"
#include "list_format.h"
#include "main_frame.h"
#include "message_box.h"
#include "msg_dlg.h"
#include "receiver_models.h"
#include "texts.h"

CIcomView::CIcomView(CMainFrame& frame)
    : QWidget(&frame), frame_(frame), list_(*this, *this, this), link_(*this, this) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(&list_.grid());
  setFocusPolicy(Qt::StrongFocus);
  setFocusProxy(&list_.grid());
}

CIcomView::~CIcomView() = default;

void CIcomView::OnInitialUpdate() {
  CEditGrid& grid = list_.grid();
  grid.SetRow(1);
  grid.SetCol(1);
  link_.UpdateLinkStatus();
}

void CIcomView::ApplySettings(const LinkSettings& settings) {
  link_.SetSettings(settings);
  SetModeChoices(ModelAt(settings.modelIndex).modes);
}

bool CIcomView::AnyModeOn() { return timingMode || autoMode || scanMode || scheduleMode; }

bool CIcomView::CanEdit() { return !AnyModeOn(); }

void CIcomView::OnCellCommitted(QString& text) {
  if (list_.grid().Col() == kColFrequency && !text.isEmpty()) NormalizeFrequency(text);
  SetModifiedFlag(true);
}

// Tuning from the list arrives with the tuning automation.
void CIcomView::OnRowChanged() {}

bool CIcomView::OnGridDoubleClick() {
  const CEditGrid& grid = list_.grid();
  if (grid.MouseRow() < 1 || scanMode || scheduleMode || autoMode) return false;
  if (timingMode || grid.MouseCol() < 1) return false;
  return true;
}

void CIcomView::OnGridRightButton(const QPoint&) {}

void CIcomView::SetModifiedFlag(bool modified) { list_.doc().SetModifiedFlag(modified); }

void CIcomView::ShowListMessage(const QString& text) {
  ::ShowMessageBox(this, texts::kAppTitle, text, QMessageBox::Warning);
}

bool CIcomView::ReceiverIsNone() { return IsNoneModel(link_.settings().modelIndex); }

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

// The Operating Frequency dialog arrives with its own change.
QObject* CIcomView::FrequencyDialog() { return nullptr; }

// Following the radio through the list arrives with the tuning automation.
void CIcomView::MatchFrequency(uint32_t) {}

void CIcomView::ShowLinkIndicator(int code) {
  frame_.SetPaneText(StatusPane::kLink, LinkIndicatorText(code));
}

// Auto, Scan and Schedule Mode are turned off here through their toggles once they exist.
void CIcomView::TurnOffTimedModes() {}

void CIcomView::OnConnectionChanged() {}

void CIcomView::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  list_.grid().setFocus();
  list_.grid().Refresh();
}
