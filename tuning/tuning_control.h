// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "tuning/frequency_index.h"
#include "tuning/on_air.h"
#include "tuning/utc_clock.h"

class CEditGrid;
class LinkControl;
class ListControl;

// What tuning needs from the window around it.
class TuningHost {
 public:
  virtual ~TuningHost() = default;
  virtual void SetClockPane(const QString& text) = 0;
  // The Operating Frequency dialog re-reads the receiver, when its window exists.
  virtual void RefreshFrequencyDialog() = 0;
  // A mode was switched or a step ran: menus and toolbar show the new state.
  virtual void OnTuningStateChanged() = 0;
};

constexpr int kClockIntervalMs = 10000;
// A day: the longest wait between scan steps, well inside the timer's milliseconds.
constexpr int kMaxScanIntervalSeconds = 86400;

// The tuning half of the view: a row to the receiver, Auto Mode, Timing, Scan Mode and
// Schedule Mode, and the UTC clock that drives them.
class TuningControl : public QObject {
 public:
  TuningControl(ListControl& list, LinkControl& link, TuningHost& host);

  void SetClock(UtcClock clock) { clock_ = std::move(clock); }
  const UtcClock& clock() const { return clock_; }
  // Seconds between scan steps; anything below 1 counts as 1, anything above a day as a day.
  void SetScanInterval(int seconds);
  int scanIntervalMs() const { return scanTimer_.interval(); }

  // A row to the receiver: frequency (plus the offset column), then its mode.
  void TuneCurrentRow(bool force);
  bool OnGridDoubleClick();
  void SetFrequencyCommand();
  void SetOffsetColumn();
  void ToggleAutoMode();

  void UpdateClock();
  void ChooseRange();
  void ScanStep();
  void ScheduleStep();
  void StepToActiveRow(bool down);
  void ToggleTiming();
  void ToggleScheduleMode();
  void ToggleScanMode();

  // The first initial update of the view: the clock shows and starts ticking.
  void StartClock();
  // Resets what belongs to one list (the offset column).
  void OnNewList();
  // Timer ticks 111 and 222.
  void OnTimer(int id);
  bool isTimerRunning(int id) const;
  // After a frequency reply: follow the radio through the list while Auto Mode is on. Of the
  // rows with exactly that frequency, the one on the air wins, then one that may be.
  void MatchFrequency(uint64_t hz);
  // Where a row stands now; by default its UTC and Days cells, on or off only.
  void SetRowOnAir(std::function<OnAir(int row)> onAir) { rowOnAir_ = std::move(onAir); }
  // Disconnecting ends Auto, Scan and Schedule Mode through their toggles.
  void TurnOffTimedModes();

  bool AnyModeOn() const { return timingMode || autoMode || scanMode || scheduleMode; }

  bool timingMode = false;
  bool autoMode = false;
  bool scanMode = false;
  bool scheduleMode = false;
  int stepRow = -1;
  int rangeFirst = 0;
  int rangeLast = 0;
  int offsetColumn = 1;

 private:
  void RunTimer(int id);
  void EndStepping();
  void SetMark(int row, const QColor& colour);
  void ClearMarks(int row);
  bool RowValue(int row, double* khz) const;
  OnAir RowOnAirNow(int row) const;

  ListControl& list_;
  LinkControl& link_;
  TuningHost& host_;
  CEditGrid& grid_;
  UtcClock clock_;
  QTimer clockTimer_;
  QTimer scanTimer_;
  std::function<OnAir(int row)> rowOnAir_;
  FrequencyIndex frequencies_;
};
