// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QStringList>

#include "list/grid_owner.h"
#include "list/list_control.h"
#include "list/list_host.h"

// Stands in for the view: no modes on, messages and questions collected with whether a wait
// cursor was still showing over them.
class FakeListView : public ListHost, public GridOwner {
 public:
  void ShowListMessage(const QString& text) override {
    messages.push_back(text);
    if (QApplication::overrideCursor() != nullptr) ++messagesUnderWaitCursor;
  }
  bool AskYesNo(const QString& text) override {
    questions.push_back(text);
    if (QApplication::overrideCursor() != nullptr) ++messagesUnderWaitCursor;
    return answerYes;
  }
  bool AnyModeOn() override { return modeOn; }
  void OnRowChanged() override {}
  bool ReceiverIsNone() override { return receiverNone; }
  bool CanEdit() override { return true; }
  void OnCellCommitted(QString&) override {}
  bool OnGridDoubleClick() override { return true; }
  void OnGridRightButton(const QPoint&) override {}
  void SetModifiedFlag(bool modified) override { list->doc().SetModifiedFlag(modified); }

  QStringList messages;
  QStringList questions;
  bool answerYes = true;
  int messagesUnderWaitCursor = 0;
  bool modeOn = false;
  bool receiverNone = false;
  ListControl* list = nullptr;
};
