// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/find_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/texts.h"

CFindDialog::CFindDialog(const QString& text, bool matchCase, QWidget* parent)
    : QDialog(parent),
      text_(new QLineEdit(text)),
      matchCase_(new QCheckBox(texts::kMatchCase)),
      findNext_(new QPushButton(texts::kFindNext)) {
  setWindowTitle(texts::kFindTitle);
  setModal(false);
  setAttribute(Qt::WA_DeleteOnClose);

  auto* label = new QLabel(texts::kFindWhat);
  label->setBuddy(text_);
  text_->setMinimumWidth(220);
  matchCase_->setChecked(matchCase);
  auto* buttons = new QDialogButtonBox(Qt::Vertical);
  buttons->addButton(findNext_, QDialogButtonBox::ActionRole);
  QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
  findNext_->setDefault(true);
  findNext_->setEnabled(!text.isEmpty());

  auto* fields = new QVBoxLayout;
  auto* line = new QHBoxLayout;
  line->addWidget(label);
  line->addWidget(text_, 1);
  fields->addLayout(line);
  fields->addWidget(matchCase_);
  fields->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(fields, 1);
  layout->addWidget(buttons);

  // Nothing to look for: nothing to press.
  connect(text_, &QLineEdit::textChanged, this,
          [this](const QString& now) { findNext_->setEnabled(!now.isEmpty()); });
  connect(findNext_, &QPushButton::clicked, this, [this] {
    if (!text_->text().isEmpty()) emit findNext(text_->text(), matchCase_->isChecked());
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  text_->selectAll();
}

QString CFindDialog::text() const { return text_->text(); }

bool CFindDialog::matchCase() const { return matchCase_->isChecked(); }

void CFindDialog::done(int result) {
  if (!closed_) {
    closed_ = true;
    emit closing();
  }
  QDialog::done(result);
}
