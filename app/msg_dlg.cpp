// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/msg_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/message_box.h"
#include "common/texts.h"

CMsgDlg::CMsgDlg(QWidget* parent) : QDialog(parent), label_(new QLabel(this)) {
  setWindowTitle(texts::kAppTitle);
  auto* icon = new QLabel(this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
  label_->setAlignment(Qt::AlignCenter);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->hide();
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addWidget(label_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
}

int CMsgDlg::exec() {
  label_->setText(message_);
  return QDialog::exec();
}

void CMsgDlg::Show(QWidget* parent, const QString& text) {
  if (MessageBoxesReplaced()) {
    ShowMessageBox(parent, texts::kAppTitle, text, QMessageBox::Information);
    return;
  }
  CMsgDlg dialog(parent);
  dialog.SetMessage(text);
  dialog.exec();
}
