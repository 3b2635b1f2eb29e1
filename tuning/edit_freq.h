// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QFont>
#include <QString>
#include <cstdint>
#include <functional>

#include "tuning/utc_clock.h"

class LineEditor;
class LinkControl;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWheelEvent;

// Names of the dialog's controls, so the view and the tests can find them.
namespace edit_freq_names {
constexpr const char* kFrequency = "frequency";
constexpr const char* kSpinUp = "spinUp";
constexpr const char* kSpinDown = "spinDown";
constexpr const char* kSnap = "snap";
constexpr const char* kStep = "step";
constexpr const char* kMode = "mode";
constexpr const char* kRead = "read";
constexpr const char* kWrite = "write";
constexpr const char* kAdd = "add";
constexpr const char* kClose = "close";
}  // namespace edit_freq_names

// The modeless Operating Frequency dialog: shows what the receiver reports, tunes it by a
// typed frequency, the spin arrows, the wheel or a chosen mode, and adds the shown frequency
// and mode to the list with a time stamp. Close and Esc delete it; the owner keeps a QPointer.
class CEditFreq : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kStepCount = 14;
  static constexpr int kDefaultStepIndex = 3;

  // The step kept between openings by the dialog's owner: the entry of the list to open on,
  // and what takes each new choice.
  struct StepMemory {
    int index = kDefaultStepIndex;
    std::function<void(int index)> store;
  };

  // The UTC format (0 "HHMM", 1 with "%d-%m-%y", 2 with "%m-%d-%y", 3 none) is asked at each
  // Add. An empty clock reads the system's. The receiver is the link's: settings change only
  // while the dialog is closed.
  CEditFreq(LinkControl& link, LineEditor& editor, UtcClock clock, std::function<int()> utcFormat,
            StepMemory step, QWidget* parent = nullptr);

  // Asks the receiver for its frequency and mode, where it can be asked; a CAT radio reports
  // through its poll.
  void ReadReceiver();
  // After connecting or disconnecting.
  void OnConnectionChanged();

  // d is +1, 0 (snap, limit and rewrite only) or -1 steps of the chosen size.
  void StepFrequency(int d);
  void WriteDialogFrequency();
  void WriteDialogMode();
  void AddToList();

 public slots:
  // What the receiver reports.
  void ShowFrequency(uint64_t hz);
  void ShowMode(int code);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void BuildControls();
  void OnStepChosen(int index);
  void OnSpin(int d);
  void OnWheel(QWheelEvent* event);
  void OnWrite();
  void OnOk();
  void SetText(double khz);

  LinkControl& link_;
  LineEditor& editor_;
  UtcClock clock_;
  std::function<int()> utcFormat_;
  // Follows every selection of the step list, which only offers valid items.
  int stepIndex_;
  std::function<void(int index)> storeStep_;
  QFont frequencyFont_;

  QLineEdit* frequency_ = nullptr;
  QToolButton* spinUp_ = nullptr;
  QToolButton* spinDown_ = nullptr;
  QPushButton* snap_ = nullptr;
  QComboBox* step_ = nullptr;
  QComboBox* mode_ = nullptr;
  QPushButton* read_ = nullptr;
  QPushButton* write_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* close_ = nullptr;
};
