// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

#include "link/link_host.h"

class CIcomView;
struct Command;
class QAction;
class QIcon;
class QMenu;
class QToolBar;

// The program's one window: menus, one of four toolbars, status bar and the view with the
// list. It comes back where it was closed, with the toolbar it had.
class CMainFrame : public QMainWindow {
 public:
  CMainFrame();
  ~CMainFrame() override;

  CIcomView& view() { return *view_; }
  QAction* action(int commandId) const;
  // The grid's context menu, from the frame's actions.
  void FillContextMenu(QMenu* menu) const;

  void SetPaneText(StatusPane pane, const QString& text);
  QString PaneText(StatusPane pane) const;
  void SetClockText(const QString& text);
  QString ClockText() const;

  // Enables and checks every command from the state of the view; run after every command,
  // timer tick, selection change and link event.
  void UpdateCommandStates();
  // While Scan Mode or Schedule Mode runs, only that mode's command and Connect get through.
  bool CommandAllowed(int commandId) const;
  // Runs what a command does, when the gate lets it through and its rule holds, after
  // taking in the text of an open cell editor; false when it was dropped.
  bool RunCommand(int commandId, const std::function<void()>& run);

  // The document commands; each asks to save a modified list first.
  bool NewFile();
  bool OpenFile(const QString& path);
  // Asks for a list file, then opens it.
  bool OpenWithDialog();
  // Asks for a broadcast schedule, then makes a new list of it (see CIcomDoc::ImportDocument).
  bool ImportWithDialog();
  bool ImportFile(const QString& path);
  bool Save();
  bool SaveAs();
  // "Save changes to %1?": true when the caller may go on.
  bool SaveModified();

  QStringList recentFiles() const { return recent_; }

  // The toolbar of index 0 to 3 (see ToolBars()); only the one the flags choose is shown.
  QToolBar* toolBar(int index) const { return toolBars_.at(index); }
  void ToggleToolBarBig();
  void ToggleToolBarLabels();

  // File dialogs, replaceable so tests can answer them.
  std::function<QString(QWidget*)> askOpenPath;
  std::function<QString(QWidget*)> askImportPath;
  std::function<QString(QWidget*, const QString& suggested)> askSavePath;

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // None: the toolbars are not the user's to show or hide one by one.
  QMenu* createPopupMenu() override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QAction* AddCommand(const Command& command);
  // The theme's icon of that name, else the program's own drawing of it; none for "".
  static QIcon CommandIcon(const char* name);
  void BuildMenus();
  void Enable(int id, bool enabled);
  void Check(int id, bool checked);
  void BuildStatusBar();
  void BuildToolBars();
  void ChooseToolBar();
  void RestorePlacement();
  void StorePlacement() const;
  void FitOuterSize();
  void UpdateTitle();
  void AddRecentFile(const QString& path);
  void RemoveRecentFile(const QString& path);
  void LoadRecentFiles();
  void SaveRecentFiles() const;
  void RebuildRecentMenu();

  CIcomView* view_ = nullptr;
  std::map<int, QAction*> actions_;
  QMenu* fileMenu_ = nullptr;
  QAction* recentSeparator_ = nullptr;
  std::vector<QAction*> recentActions_;
  QStringList recent_;
  QLabel* messagePane_;
  QLabel* connectionPane_;
  QLabel* linkPane_;
  QLabel* clockPane_;
  std::vector<QToolBar*> toolBars_;
  bool barBig_ = true;
  bool barLab_ = true;
  // The stored outer size, until the window's frame is known and the inner size can be made
  // to match it.
  QSize outerSize_;
};
