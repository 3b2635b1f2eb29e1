// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/edit_wnd.h"

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QStyle>

#include "link/receiver_models.h"
#include "list/typed_chars.h"

QEvent::Type HandBackEventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

namespace {

// Posted, not called: the commit hides the editor, which must not happen inside the
// editor's own key handler, and a passed-on key must reach the grid after the commit.
void HandBack(QWidget* grid, const QKeyEvent* passOn = nullptr) {
  QCoreApplication::postEvent(grid, new QEvent(HandBackEventType()));
  if (passOn == nullptr) return;
  QCoreApplication::postEvent(
      grid, new QKeyEvent(QEvent::KeyPress, passOn->key(), passOn->modifiers(), passOn->text()));
  QCoreApplication::postEvent(
      grid, new QKeyEvent(QEvent::KeyRelease, passOn->key(), passOn->modifiers(), passOn->text()));
}

void ApplyFont(QWidget* widget, const EditorFont& font) {
  QFont f = widget->font();
  if (!font.face.isEmpty()) f.setFamily(font.face);
  if (font.tenths > 0) f.setPointSizeF(font.tenths / 10.0);
  widget->setFont(f);
}

bool IsTab(int key) { return key == Qt::Key_Tab || key == Qt::Key_Backtab; }
bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// Tab must reach keyPressEvent instead of moving the focus to the next widget.
bool IsTabPress(const QEvent* event) {
  return event->type() == QEvent::KeyPress && IsTab(static_cast<const QKeyEvent*>(event)->key());
}

}  // namespace

CEditWnd::CEditWnd(QWidget* grid) : QLineEdit(grid), grid_(grid) {
  setFrame(false);
  hide();
}

void CEditWnd::SetEditorFont(const EditorFont& font) { ApplyFont(this, font); }

void CEditWnd::Open(const QString& text, char32_t ch, const QRect& cell) {
  setText(text);
  if (ch == kCharEnter) {
    selectAll();
  } else {
    deselect();
    setCursorPosition(0);
    insert(QString::fromUcs4(&ch, 1));
  }
  setGeometry(cell);
  show();
  raise();
  setFocus(Qt::OtherFocusReason);
}

bool CEditWnd::event(QEvent* event) {
  if (IsTabPress(event)) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  return QLineEdit::event(event);
}

void CEditWnd::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const bool alt = event->modifiers() & Qt::AltModifier;
  if (IsEnter(key)) {
    HandBack(grid_);
  } else if (!alt && (IsTab(key) || key == Qt::Key_Up || key == Qt::Key_Down)) {
    HandBack(grid_, event);
  } else if (key == Qt::Key_Escape) {
    clear();
    hide();
    grid_->setFocus(Qt::OtherFocusReason);
  } else if (event->text() != QStringLiteral("\t")) {
    QLineEdit::keyPressEvent(event);
  }
  // Keys the box does not use must not travel on to the grid and move its cell.
  event->accept();
}

QRect ListBoxRect(const ListBoxPlacement& p) {
  const QRect& cell = p.cell;
  const int full = p.itemCount * p.itemHeight + 2 * p.border;
  const int below = p.rowsBelow * cell.height();
  const int above = p.rowsAbove * cell.height();
  const int width = cell.width() + p.scrollBarWidth + p.border;
  const int bottom = cell.y() + cell.height();
  int height = 0;
  bool upward = false;
  if (below >= full) {
    height = full;
  } else if (above >= full) {
    height = full;
    upward = true;
  } else if (below < above) {
    height = p.rowsAbove * p.itemHeight + 2 * p.border;
    upward = true;
  } else {
    height = below;
  }
  return QRect(cell.x(), upward ? bottom - height : cell.y(), width, height);
}

CEditListBox::CEditListBox(QWidget* grid) : QListWidget(grid), grid_(grid) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  connect(this, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { pending_ = item->text(); });
  connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    pending_ = item->text();
    HandBack(grid_);
  });
  hide();
}

void CEditListBox::SetEditorFont(const EditorFont& font) { ApplyFont(this, font); }

void CEditListBox::Load(const ModeEntry* choices, const QString& cellText, char32_t ch) {
  clear();
  for (const ModeEntry* mode = choices; mode != nullptr && mode->name != nullptr; ++mode)
    addItem(QString::fromUtf8(mode->name));
  const QString typed = QString::fromUcs4(&ch, 1);
  int pick = -1;
  if (typed.size() == 1 && typed.at(0).isLetter()) {
    for (int i = 0; i < count() && pick < 0; ++i)
      if (item(i)->text().startsWith(typed, Qt::CaseInsensitive)) pick = i;
  }
  for (int i = 0; i < count() && pick < 0; ++i)
    if (item(i)->text().compare(cellText, Qt::CaseInsensitive) == 0) pick = i;
  if (pick < 0 && count() > 0) pick = 0;
  if (pick < 0) {
    // An empty table offers nothing to choose: a commit leaves the cell as it was.
    pending_ = cellText;
    return;
  }
  setCurrentRow(pick);
  pending_ = item(pick)->text();
}

int CEditListBox::ItemHeight() const {
  const int height = count() > 0 ? sizeHintForRow(0) : -1;
  return height > 0 ? height : fontMetrics().height();
}

int CEditListBox::ScrollBarWidth() const {
  return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

void CEditListBox::Open(const QRect& rect) {
  setGeometry(rect);
  show();
  raise();
  if (currentItem() != nullptr) scrollToItem(currentItem());
  setFocus(Qt::OtherFocusReason);
}

void CEditListBox::TakeCurrent() {
  if (currentItem() != nullptr) pending_ = currentItem()->text();
}

bool CEditListBox::event(QEvent* event) {
  if (IsTabPress(event)) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  return QListWidget::event(event);
}

void CEditListBox::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (IsEnter(key)) {
    TakeCurrent();
    HandBack(grid_);
  } else if (IsTab(key)) {
    TakeCurrent();
    HandBack(grid_, event);
  } else if (key == Qt::Key_Escape) {
    hide();
    grid_->setFocus(Qt::OtherFocusReason);
  } else {
    QListWidget::keyPressEvent(event);
  }
  event->accept();
}

void CEditListBox::focusOutEvent(QFocusEvent* event) {
  QListWidget::focusOutEvent(event);
  // A menu opening is not going elsewhere: the command chosen from it takes the choice in
  // first, and without one the focus comes back here.
  if (event->reason() == Qt::PopupFocusReason) return;
  // Choosing is abandoned when the user goes elsewhere; back on the grid it commits.
  if (QApplication::focusWidget() != grid_) hide();
}
