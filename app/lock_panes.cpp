// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/lock_panes.h"

#include <QtGui/qguiapplication_platform.h>
#include <dlfcn.h>

#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>

#include "common/texts.h"

namespace {

constexpr int kPollMs = 250;

#if QT_CONFIG(xcb)
// The few calls of the X library that read the keyboard's indicators. The library is not
// linked: the X11 platform of the toolkit has it loaded already, and only then is there an
// X server to ask.
class XIndicators {
 public:
  static std::optional<XIndicators> Open() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->display() == nullptr) return std::nullopt;
    void* lib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (lib == nullptr) return std::nullopt;
    XIndicators x;
    x.display_ = x11->display();
    auto internAtom = reinterpret_cast<InternAtom>(dlsym(lib, "XInternAtom"));
    auto namedIndicator = reinterpret_cast<NamedIndicator>(dlsym(lib, "XkbGetNamedIndicator"));
    x.getState_ = reinterpret_cast<GetState>(dlsym(lib, "XkbGetIndicatorState"));
    if (internAtom == nullptr || namedIndicator == nullptr || x.getState_ == nullptr) {
      return std::nullopt;
    }
    // The indicators are found by their standard names, not by a guessed position.
    const char* names[] = {"Caps Lock", "Num Lock", "Scroll Lock"};
    for (int i = 0; i < 3; ++i) {
      const unsigned long atom = internAtom(x.display_, names[i], 1);
      int index = -1;
      if (atom != 0 && namedIndicator(x.display_, atom, &index, nullptr, nullptr, nullptr) &&
          index >= 0 && index < 32) {
        x.masks_[i] = 1u << index;
      }
    }
    return x;
  }

  std::optional<LockPanes::States> Read() const {
    unsigned state = 0;
    if (getState_(display_, kUseCoreKeyboard, &state) != 0) return std::nullopt;
    return LockPanes::States{(state & masks_[0]) != 0, (state & masks_[1]) != 0,
                             (state & masks_[2]) != 0};
  }

 private:
  using XDisplay = Display;
  using InternAtom = unsigned long (*)(XDisplay*, const char*, int);
  using NamedIndicator = int (*)(XDisplay*, unsigned long, int*, int*, void*, int*);
  using GetState = int (*)(XDisplay*, unsigned, unsigned*);
  static constexpr unsigned kUseCoreKeyboard = 0x0100;

  XDisplay* display_ = nullptr;
  GetState getState_ = nullptr;
  unsigned masks_[3] = {0, 0, 0};
};
#endif

}  // namespace

LockPanes::LockPanes(QStatusBar* bar, Reader reader) : QObject(bar), read_(std::move(reader)) {
  for (size_t i = 0; i < panes_.size(); ++i) {
    auto* pane = new QLabel(texts::kLockPanes[i]);
    pane->setFrameShape(QFrame::StyledPanel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setFixedWidth(pane->sizeHint().width());
    pane->clear();
    bar->addPermanentWidget(pane);
    panes_[i] = pane;
  }
  if (!read_) return;
  connect(&poll_, &QTimer::timeout, this, [this] { Refresh(); });
  poll_.start(kPollMs);
  Refresh();
}

void LockPanes::Refresh() {
  const std::optional<States> states = read_ ? read_() : std::nullopt;
  const bool on[] = {states && states->caps, states && states->num, states && states->scroll};
  for (size_t i = 0; i < panes_.size(); ++i) panes_[i]->setText(on[i] ? texts::kLockPanes[i] : "");
}

LockPanes::Reader LockPanes::DesktopReader() {
#if QT_CONFIG(xcb)
  if (std::optional<XIndicators> x = XIndicators::Open()) return [x = *x] { return x.Read(); };
#endif
  return nullptr;
}
