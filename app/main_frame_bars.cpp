// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <algorithm>

#include "app/command_table.h"
#include "app/main_frame.h"
#include "app/settings_store.h"

// Resources of a static library are only linked in when something asks for them.
static void InitCommandIcons() { Q_INIT_RESOURCE(commands); }

namespace {

constexpr int kSmallImage = 20;
constexpr int kBigImage = 32;
// A stored window no larger than this in either direction is not taken back.
constexpr int kMinStoredExtent = 100;

// Whether a stored outer rectangle lies on the screen that holds its corner (the primary
// screen when none does) and fits it; anything else is left over from another setup.
bool FitsOnScreen(const QRect& outer) {
  QScreen* screen = QGuiApplication::screenAt(outer.topLeft());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return false;
  const QRect area = screen->geometry();
  const QPoint corner = outer.topLeft() - area.topLeft();
  return corner.x() >= 0 && corner.x() < area.width() && corner.y() >= 0 &&
         corner.y() < area.height() && outer.width() > kMinStoredExtent &&
         outer.width() <= area.width() && outer.height() > kMinStoredExtent &&
         outer.height() <= area.height();
}

// Labels differ in length; buttons of one width keep the toolbar a tidy row.
void EvenButtonWidths(QToolBar* bar) {
  std::vector<QToolButton*> buttons;
  int width = 0;
  for (QAction* act : bar->actions()) {
    if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(act))) {
      buttons.push_back(button);
      width = std::max(width, button->sizeHint().width());
    }
  }
  for (QToolButton* button : buttons) button->setMinimumWidth(width);
}

}  // namespace

QIcon CMainFrame::CommandIcon(const char* name) {
  [[maybe_unused]] static const bool loaded = (InitCommandIcons(), true);
  if (name[0] == '\0') return QIcon();
  const QString own = QStringLiteral(":/icons/%1.svg").arg(name);
  return QIcon::fromTheme(name, QFile::exists(own) ? QIcon(own) : QIcon());
}

void CMainFrame::BuildToolBars() {
  const std::vector<ToolBarLayout>& layouts = ToolBars();
  for (size_t i = 0; i < layouts.size(); ++i) {
    const ToolBarLayout& layout = layouts[i];
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("toolbar%1").arg(i));
    bar->setAllowedAreas(Qt::TopToolBarArea);
    bar->setFloatable(false);
    const int image = layout.big ? kBigImage : kSmallImage;
    bar->setIconSize(QSize(image, image));
    bar->setToolButtonStyle(layout.labels ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    // The buttons are the menu's own actions, so they share its enabling, check marks and
    // gate.
    for (int id : layout.items) {
      if (id == kSeparator) {
        bar->addSeparator();
      } else {
        bar->addAction(action(id));
      }
    }
    if (layout.labels) EvenButtonWidths(bar);
    addToolBar(Qt::TopToolBarArea, bar);
    bar->hide();
    toolBars_.push_back(bar);
  }
}

void CMainFrame::ChooseToolBar() {
  const std::vector<ToolBarLayout>& layouts = ToolBars();
  for (size_t i = 0; i < layouts.size(); ++i) {
    toolBars_[i]->setVisible(layouts[i].big == barBig_ && layouts[i].labels == barLab_);
  }
}

void CMainFrame::ToggleToolBarBig() {
  barBig_ = !barBig_;
  ChooseToolBar();
}

void CMainFrame::ToggleToolBarLabels() {
  barLab_ = !barLab_;
  ChooseToolBar();
}

QMenu* CMainFrame::createPopupMenu() { return nullptr; }

void CMainFrame::RestorePlacement() {
  const StoredPlacement placement = LoadPlacement();
  if (FitsOnScreen(placement.outer)) {
    move(placement.outer.topLeft());
    resize(placement.outer.size());
    outerSize_ = placement.outer.size();
    FitOuterSize();
  }
  barBig_ = placement.barBig;
  barLab_ = placement.barLab;
}

void CMainFrame::FitOuterSize() {
  if (!outerSize_.isValid() || windowHandle() == nullptr) return;
  // The window manager's frame is known only once the window is on screen; until then the
  // window is as large as the whole stored rectangle, which would grow it by the frame on
  // every run.
  const QMargins frame = windowHandle()->frameMargins();
  if (frame.isNull()) return;
  const QSize inner = outerSize_.shrunkBy(frame);
  outerSize_ = QSize();
  resize(inner);
}

void CMainFrame::StorePlacement() const {
  // A maximized window keeps the place it had before, to go back to next time.
  SavePlacement(isMaximized() ? std::nullopt : std::optional<QRect>(frameGeometry()), barBig_,
                barLab_);
}
