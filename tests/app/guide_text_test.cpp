// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QStringDecoder>

#include "app/command_table.h"
#include "app/help_menu.h"
#include "app/rec_dlg.h"
#include "app/settings_store.h"
#include "list/columns.h"
#include "list/schedule_import.h"
#include "tests/widget_app.h"

namespace {

// What the user reads of a menu item: no mnemonic, no key, no trailing dots.
QString ShownName(const char* text) {
  QString name = QString::fromUtf8(text).section('\t', 0, 0).remove('&');
  while (name.endsWith('.') || name.endsWith(' ')) name.chop(1);
  return name;
}

// What a Settings label names, without the unit or the hint after it.
QString FieldName(const QString& label) {
  return label.section(QStringLiteral(" ("), 0, 0).section(QStringLiteral("  ["), 0, 0);
}

// Everything the user meets by name: the menus, the context menu, the columns of a new list
// and of an imported schedule, the fields of Settings and its protocols.
QStringList NamesInTheProgram() {
  QStringList names;
  for (const MenuLayout& menu : MenuBar()) {
    for (int id : menu.items) {
      if (id == kSeparator || id == kRecentFiles) continue;
      names << ShownName(FindCommand(id)->text);
    }
  }
  for (const ContextItem& item : ContextMenu())
    names << ShownName(item.text ? item.text : FindCommand(item.id)->text);

  for (const char* header : {kNewListHeader, kScheduleListHeader})
    names << QString::fromLatin1(header).split(';');

  CRecDlg settings(StoredSettings{}, 1);
  const auto* form = settings.findChild<QFormLayout*>();
  if (form == nullptr) return {};
  for (int row = 0; row < form->rowCount(); ++row) {
    const QLayoutItem* label = form->itemAt(row, QFormLayout::LabelRole);
    if (label == nullptr) continue;
    if (const auto* text = qobject_cast<const QLabel*>(label->widget()))
      names << FieldName(text->text());
  }
  const QLayoutItem* first = form->itemAt(0, QFormLayout::FieldRole);
  if (const auto* protocols = first ? qobject_cast<const QComboBox*>(first->widget()) : nullptr)
    for (int i = 0; i < protocols->count(); ++i) names << protocols->itemText(i);
  names.removeDuplicates();
  return names;
}

TEST(GuideTexts, BothGuidesNameEveryMenuItemAndSettingsField) {
  WidgetApp();
  const QStringList names = NamesInTheProgram();
  ASSERT_GT(names.size(), 40);
  for (const char* guide : {kReadmeFile, kLeggimiFile}) {
    SCOPED_TRACE(guide);
    QFile file(QDir(QStringLiteral(QUILVAR_SOURCE_DIR)).filePath(guide));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // The guides are UTF-8, which the desktop's editors and Help's own window both expect.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    EXPECT_FALSE(utf8.hasError());
    for (const QString& name : names)
      EXPECT_TRUE(text.contains(name)) << "the guide does not name " << name.toStdString();
  }
}

}  // namespace
