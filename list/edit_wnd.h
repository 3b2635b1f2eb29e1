// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRect>
#include <QString>

struct ModeEntry;

// Posted by an editor to the grid it lies on when the user is done: the grid has the focus
// back and takes the editor's value. A key the editor passes on is posted right after it,
// so the commit runs first and both run after the editor's own key handling.
QEvent::Type HandBackEventType();

// The two editors draw in the grid's font: a face and a size in tenths of a point.
struct EditorFont {
  QString face;
  int tenths = 0;
};

// The edit box laid over the current cell for every column without choices.
class CEditWnd : public QLineEdit {
 public:
  // grid: the widget the editor lies on and hands back to; the editor starts hidden.
  explicit CEditWnd(QWidget* grid);

  void SetEditorFont(const EditorFont& font);
  // Loads the cell's text for the typed character ch (kCharEnter for Enter or a double click),
  // places the box over cell, shows it and gives it the focus.
  void Open(const QString& text, char32_t ch, const QRect& cell);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QWidget* grid_;
};

// Where the list box opens: below the cell when the whole list fits there, else upward
// when it fits above, else on the side with more room, shortened.
struct ListBoxPlacement {
  QRect cell;         // the current cell, in grid coordinates
  int rowsBelow = 0;  // TopRow + VisibleRows - Row
  int rowsAbove = 0;  // Row - TopRow + 1
  int itemCount = 0;
  int itemHeight = 0;
  int border = 0;
  int scrollBarWidth = 0;
};
QRect ListBoxRect(const ListBoxPlacement& placement);

// The list box laid over the current cell of a column with choices.
class CEditListBox : public QListWidget {
 public:
  explicit CEditListBox(QWidget* grid);

  void SetEditorFont(const EditorFont& font);
  // Fills the list with the names of choices and selects the item the typed character
  // ch picks, else the one equal to the cell's text, else the first; that item is the
  // pending value.
  void Load(const ModeEntry* choices, const QString& cellText, char32_t ch);
  // The value a commit takes: changed by Enter, Tab and mouse clicks, not by moving the
  // selection with keys.
  const QString& PendingValue() const { return pending_; }

  int ItemHeight() const;
  int BorderThickness() const { return frameWidth(); }
  int ScrollBarWidth() const;
  // Places the list, shows it and gives it the focus.
  void Open(const QRect& rect);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void TakeCurrent();

  QWidget* grid_;
  QString pending_;
};
