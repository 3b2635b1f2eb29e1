#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <map>

#include "link_host.h"

class CIcomView;
class QAction;
class QMenu;

// The program's one window: menus, status bar and the view with the list.
class CMainFrame : public QMainWindow {
 public:
  CMainFrame();
  ~CMainFrame() override;

  CIcomView& view() { return *view_; }
  QAction* action(int commandId) const;

  void SetPaneText(StatusPane pane, const QString& text);
  QString PaneText(StatusPane pane) const;

  // The document commands; each asks to save a modified list first.
  bool NewFile();
  bool OpenFile(const QString& path);
  bool Save();
  bool SaveAs();
  // "Save changes to %1?": true when the caller may go on.
  bool SaveModified();

  QStringList recentFiles() const { return recent_; }

  // File dialogs, replaceable so tests can answer them.
  std::function<QString(QWidget*)> askOpenPath;
  std::function<QString(QWidget*, const QString& suggested)> askSavePath;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QAction* AddCommand(QMenu* menu, int id, const QString& text, const QKeySequence& keys,
                      std::function<void()> handler);
  void BuildMenus();
  void BuildStatusBar();
  void UpdateTitle();
  void AddRecentFile(const QString& path);
  void RemoveRecentFile(const QString& path);
  void LoadRecentFiles();
  void SaveRecentFiles() const;
  void RebuildRecentMenu();

  CIcomView* view_;
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
