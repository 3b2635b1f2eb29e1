// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/guide_window.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

// The guides are UTF-8 (plain ASCII is UTF-8 too); a guide saved by an editor that wrote
// Latin-1 still reads, one character a byte.
QString DecodeGuide(const QByteArray& bytes) {
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (utf8.hasError()) text = QString::fromLatin1(bytes);
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return text;
}

// The guide's window over parent (or among the windows without one), if it has one yet.
GuideWindow* FindGuideWindow(const QString& path, QWidget* parent) {
  QObjectList candidates;
  if (parent) {
    candidates = parent->children();
  } else {
    for (QWidget* widget : QApplication::topLevelWidgets()) candidates << widget;
  }
  for (QObject* candidate : candidates) {
    auto* window = dynamic_cast<GuideWindow*>(candidate);
    if (window && window->parentWidget() == parent && window->path() == path) return window;
  }
  return nullptr;
}

}  // namespace

GuideWindow::GuideWindow(const QString& path, QWidget* parent)
    : QDialog(parent), path_(path), text_(new QPlainTextEdit(this)) {
  setWindowTitle(QFileInfo(path).fileName());
  text_->setReadOnly(true);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // Wide enough for the guide's lines of up to 80 characters beside the scroll bar.
  const QFontMetrics metrics(text_->font());
  text_->setMinimumWidth(metrics.horizontalAdvance(QString(80, QLatin1Char('M'))) +
                         style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                         2 * (text_->frameWidth() + int(text_->document()->documentMargin())) +
                         metrics.averageCharWidth());
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addWidget(buttons);
  resize(sizeHint().width(), metrics.lineSpacing() * 40);
}

bool GuideWindow::Reload() {
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) return false;
  text_->setPlainText(DecodeGuide(file.readAll()));
  return true;
}

bool ShowGuideWindow(const QString& path, QWidget* parent) {
  GuideWindow* window = FindGuideWindow(path, parent);
  const bool made = window == nullptr;
  if (made) window = new GuideWindow(path, parent);
  // An open window keeps its place in the text; a closed one shows the guide as it is now.
  if (!window->isVisible() && !window->Reload()) {
    if (made) delete window;
    return false;
  }
  if (window->isVisible()) {
    window->raise();
  } else {
    window->show();
  }
  window->activateWindow();
  return true;
}
