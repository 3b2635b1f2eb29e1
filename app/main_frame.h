#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <map>

#include "link_host.h"

class CIcomView;
struct Command;
class QAction;
class QMenu;

// The program's one window: menus, status bar and the view with the list.
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

  // The document commands; each asks to save a modified list first.
  bool NewFile();
  bool OpenFile(const QString& path);
  // Asks for a list file, then opens it.
  bool OpenWithDialog();
  bool Save();
  bool SaveAs();
  // "Save changes to %1?": true when the caller may go on.
  bool SaveModified();

  QStringList recentFiles() const { return recent_; }

  // File dialogs, replaceable so tests can answer them.
  std::function<QString(QWidget*)> askOpenPath;
  std::function<QString(QWidget*, const QString& suggested)> askSavePath;

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QAction* AddCommand(const Command& command);
  void BuildMenus();
  void Enable(int id, bool enabled);
  void Check(int id, bool checked);
  void BuildStatusBar();
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
};
