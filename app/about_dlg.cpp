// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_dlg.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/guide_files.h"
#include "app/hyper_link.h"
#include "app/message_box.h"
#include "common/texts.h"

QString ProgramVersion() { return QStringLiteral(QUILVAR_VERSION); }

QIcon ProgramIcon() {
  // The resources live in a static library: nothing else would pull them into the program.
  static const bool registered = [] {
    Q_INIT_RESOURCE(quilvar);
    return true;
  }();
  (void)registered;
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QString(":/quilvar/quilvar-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

namespace {

constexpr int kIconSize = 48;

QLabel* NoticeBox(QWidget* parent) {
  QStringList lines;
  for (const char* line : texts::kAboutNotice) lines << line;
  auto* notice = new QLabel(lines.join('\n'), parent);
  notice->setObjectName("notice");
  notice->setTextFormat(Qt::PlainText);
  notice->setAlignment(Qt::AlignCenter);
  notice->setFrameShape(QFrame::Box);
  notice->setFrameShadow(QFrame::Sunken);
  notice->setMargin(8);
  return notice;
}

AboutBoxRunner& Runner() {
  static AboutBoxRunner runner;
  return runner;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(texts::kAboutTitle);

  auto* icon = new QLabel(this);
  icon->setObjectName("icon");
  icon->setPixmap(ProgramIcon().pixmap(kIconSize, kIconSize));
  auto* maker = new QLabel(texts::kAboutMaker, this);
  maker->setTextFormat(Qt::PlainText);
  // Plain text keeps the doubled blanks.
  auto* name = new QLabel(
      QString(texts::kAboutName).arg(texts::kAppTitle, ProgramVersion(), texts::kAboutYear), this);
  name->setTextFormat(Qt::PlainText);
  ok_ = new QPushButton(texts::kOk, this);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &CAboutDlg::accept);
  link_ = new CHyperLink(ReadmeAddress(), this);
  link_->setObjectName("link");

  auto* top = new QGridLayout;
  top->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
  top->addWidget(maker, 0, 1);
  top->addWidget(name, 1, 1);
  top->addWidget(ok_, 0, 2, Qt::AlignTop);
  top->setColumnStretch(1, 1);
  top->setHorizontalSpacing(16);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(NoticeBox(this));
  layout->addWidget(link_, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CAboutDlg::accept() {
  // Asked of the keyboard itself: OK may come from a click, Enter or Space.
  if (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) {
    ShowMessageBox(this, texts::kInfoTitle,
                   QString(texts::kVersionDates)
                       .arg(texts::kEditGridDate, texts::kEditListDate, texts::kEditBoxDate),
                   QMessageBox::Information);
  }
  QDialog::accept();
}

AboutBoxRunner SetAboutBoxRunner(AboutBoxRunner runner) {
  AboutBoxRunner previous = Runner();
  Runner() = std::move(runner);
  return previous;
}

void RunAboutBox(CAboutDlg& box) {
  if (Runner()) {
    Runner()(box);
  } else {
    box.exec();
  }
}
