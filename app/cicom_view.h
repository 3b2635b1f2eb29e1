// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "link/link_control.h"
#include "link/link_host.h"
#include "list/grid_owner.h"
#include "list/line_editor.h"
#include "list/list_control.h"
#include "list/list_host.h"
#include "tuning/edit_freq.h"
#include "tuning/tuning_control.h"

class CMainFrame;
class ListWatcher;

// The hub of the program: the grid with the list, the radio link, and the modes that tie
// them together.
class CIcomView : public QWidget,
                  public GridOwner,
                  public ListHost,
                  public LinkHost,
                  public TuningHost {
 public:
  explicit CIcomView(CMainFrame& frame);
  ~CIcomView() override;

  ListControl& list() { return list_; }
  CIcomDoc& doc() { return list_.doc(); }
  LinkControl& link() { return link_; }
  TuningControl& tuning() { return tuning_; }
  LineEditor& editor() { return editor_; }
  // Follows the open list's file as other programs change it.
  ListWatcher& listWatcher() { return *listWatcher_; }

  // After the first window is made and after every New and Open.
  void OnInitialUpdate();
  void ApplySettings(const LinkSettings& settings, int scanSeconds);
  // The Setup command: the Settings dialog, then the link status it changed. An open
  // Operating Frequency dialog closes meanwhile and opens again for the new receiver.
  void RunSetup();
  // The Operating Frequency command: opens the dialog, or closes it when it is open.
  void ToggleFrequencyDialog();
  CEditFreq* frequencyDialog() const { return freqDlg_; }
  // How modal dialogs run; tests answer them instead of a person.
  std::function<int(QDialog&)> execDialog = [](QDialog& dialog) { return dialog.exec(); };
  // The grid's context menu over a data cell.
  void ShowContextMenu(const QPoint& point);

  // GridOwner
  bool CanEdit() override;
  void OnCellCommitted(QString& text) override;
  void OnRowChanged() override;
  bool OnGridDoubleClick() override;
  void OnGridRightButton(const QPoint& point) override;
  void OnSelectionChanged() override;
  void SetModifiedFlag(bool modified) override;

  // ListHost
  void ShowListMessage(const QString& text) override;
  bool AskYesNo(const QString& text) override;
  bool AnyModeOn() override;
  bool ReceiverIsNone() override;

  // LinkHost
  void SetPaneText(StatusPane pane, const QString& text) override;
  void ShowMessageBox(const QString& caption, const QString& text, BoxIcon icon) override;
  void ShowMessageDialog(const QString& text) override;
  void SetWaitCursor(bool on) override;
  PortMap MappedPorts() override;

  // TuningHost
  void SetClockPane(const QString& text) override;
  void RefreshFrequencyDialog() override;
  void OnTuningStateChanged() override;

 protected:
  void focusInEvent(QFocusEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // What the link reports, to the dialog, the list, the modes and the commands.
  void FollowLink();
  // The Operating Frequency dialog while it is on screen, else nullptr.
  CEditFreq* ShownFrequencyDialog() const;
  void OnConnectionChanged();
  // The command states once the present event is done: a batch that moves the current
  // cell row by row asks for them once.
  void UpdateCommandStatesSoon();

  CMainFrame& frame_;
  ListControl list_;
  LinkControl link_;
  TuningControl tuning_;
  LineEditor editor_;
  QPointer<CEditFreq> freqDlg_;
  bool clockStarted_ = false;
  bool statesDue_ = false;
  // Last, so it goes first: it works on the parts above.
  std::unique_ptr<ListWatcher> listWatcher_;
};
