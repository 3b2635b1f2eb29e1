// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/tuning_control.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/command_ids.h"
#include "common/texts.h"
#include "link/link_control.h"
#include "link/receiver_models.h"
#include "list/columns.h"
#include "list/list_control.h"
#include "list/list_format.h"
#include "tuning/colours.h"
#include "tuning/hertz.h"
#include "tuning/on_air.h"
#include "tuning/on_air_days.h"
#include "tuning/utc_range.h"

TuningControl::TuningControl(ListControl& list, LinkControl& link, TuningHost& host)
    : list_(list), link_(link), host_(host), grid_(list.grid()), clock_([] {
        return std::time(nullptr);
      }) {
  clockTimer_.setInterval(kClockIntervalMs);
  scanTimer_.setInterval(1000);
  connect(&clockTimer_, &QTimer::timeout, this, [this] { OnTimer(kTimerClock); });
  connect(&scanTimer_, &QTimer::timeout, this, [this] { OnTimer(kTimerScan); });
  // A tick due while the radio is awaited waits for the transaction to end.
  link_.AddTimerOwner(&clockTimer_);
  link_.AddTimerOwner(&scanTimer_);
}

void TuningControl::SetScanInterval(int seconds) {
  // A stored interval of 0 or less must not make a timer that never rests, and a huge one
  // must not overflow the milliseconds into a period the timer refuses.
  scanTimer_.setInterval(1000 * std::clamp(seconds, 1, kMaxScanIntervalSeconds));
}

void TuningControl::TuneCurrentRow(bool force) {
  if (!force && !autoMode) return;
  IdleQueue::BusyScope busy(link_.idle());
  const int r = grid_.Row();
  QStringList cells = grid_.ReadRowCells(r);
  list_.NormalizeRow(r, cells);
  grid_.WriteRowCells(r, cells);
  list_.doc().SetModifiedFlag(true);

  double khz = LeadingNumber(grid_.TextMatrix(r, kColFrequency));
  if (offsetColumn != kColFrequency) khz += LeadingNumber(grid_.TextMatrix(r, offsetColumn));
  const double hz = WholeHertz(khz);
  // Sent wrapped to the command's width, such a row would tune some other station without
  // a word.
  if (hz < 0 || hz > static_cast<double>(link_.MaxFrequency())) {
    if (link_.linkConnected) link_.SetStatusText(QString(), QString(texts::kWriteFreqOutOfRange));
    return;
  }
  // The mode follows a frequency that went out, confirmed or not.
  const TransactionResult written = link_.WriteFrequency(static_cast<uint64_t>(hz));
  if (written == TransactionResult::kNotSent || written == TransactionResult::kFailed) return;
  link_.WriteMode(ModeCodeByName(link_.modes(), grid_.TextMatrix(r, kColMode).toStdString()).code);
  host_.RefreshFrequencyDialog();
}

bool TuningControl::OnGridDoubleClick() {
  if (grid_.MouseRow() < 1 || scanMode || scheduleMode) return false;
  if (autoMode) return true;
  if (timingMode || grid_.MouseCol() < 1) {
    TuneCurrentRow(true);
    return false;
  }
  return true;
}

void TuningControl::SetFrequencyCommand() { TuneCurrentRow(true); }

void TuningControl::SetOffsetColumn() {
  offsetColumn = grid_.Col();
  TuneCurrentRow(true);
}

void TuningControl::ToggleAutoMode() {
  autoMode = !autoMode;
  host_.OnTuningStateChanged();
}

namespace {

// The columns the on-air rules read, found once per pass.
class OnAirColumns {
 public:
  explicit OnAirColumns(const FlexGrid& grid)
      : grid_(grid),
        days_(FindDaysColumn(grid)),
        persistence_(FindColumn(grid, QLatin1StringView("P"))),
        start_(FindColumn(grid, QLatin1StringView("Start"))),
        stop_(FindColumn(grid, QLatin1StringView("Stop"))),
        scheduleColumns_(persistence_ >= 0 || start_ >= 0 || stop_ >= 0) {}

  OnAir Evaluate(int row, std::time_t instant) const {
    const OnAir state =
        EvaluateOnAir({grid_.TextView(row, kColUtc), Cell(row, days_), Cell(row, persistence_),
                       Cell(row, start_), Cell(row, stop_)},
                      instant);
    if (scheduleColumns_) return state;
    // Lists made before the schedule kept these columns look as they always did.
    if (state == OnAir::kMaybe) return OnAir::kOn;
    return state == OnAir::kComingUp ? OnAir::kOff : state;
  }

 private:
  QAnyStringView Cell(int row, int col) const {
    return col < 0 ? QAnyStringView() : grid_.TextView(row, col);
  }
  const FlexGrid& grid_;
  int days_, persistence_, start_, stop_;
  bool scheduleColumns_;
};

}  // namespace

void TuningControl::OnNewList() { offsetColumn = kColFrequency; }

void TuningControl::StartClock() {
  UpdateClock();
  clockTimer_.start();
}

void TuningControl::UpdateClock() {
  const UtcTime now = SplitUtc(clock_());
  host_.SetClockPane(QString::asprintf(texts::kClockPane, now.hour, now.minute));
  if (!timingMode) return;
  RedrawOff batch(grid_);
  const int row = grid_.Row(), col = grid_.Col();
  const OnAirColumns columns(grid_);
  const std::time_t instant = clock_();
  for (int i = 1; i < grid_.Rows(); ++i) {
    const UtcRange range = ParseUtcRange(grid_.TextMatrix(i, kColUtc));
    if (range.result <= 0) continue;
    switch (columns.Evaluate(i, instant)) {
      case OnAir::kOn:
        SetMark(i, ActiveColour);
        break;
      case OnAir::kMaybe:
        SetMark(i, MaybeColour);
        break;
      case OnAir::kComingUp:
        SetMark(i, ComingUpColour);
        break;
      case OnAir::kOff:
        SetMark(i, IdleColour);
        break;
    }
  }
  grid_.SetRow(row);
  grid_.SetCol(col);
}

// Marks are written only when they differ: the pass runs over the whole list every 10 s.
void TuningControl::SetMark(int row, const QColor& colour) {
  grid_.SetRow(row);
  grid_.SetCol(0);
  if (grid_.CellBackColor() != colour) grid_.SetCellBackColor(colour);
}

void TuningControl::ToggleTiming() {
  timingMode = !timingMode;
  UpdateClock();
  if (!timingMode) {
    RedrawOff batch(grid_);
    const int row = grid_.Row(), col = grid_.Col();
    list_.RenumberRows();
    grid_.SetRow(row);
    grid_.SetCol(col);
  }
  host_.OnTuningStateChanged();
}

void TuningControl::StepToActiveRow(bool down) {
  int cur = grid_.Row();
  const int col = grid_.Col();
  {
    RedrawOff batch(grid_);
    const int step = down ? 1 : -1;
    for (int i = cur + step; i >= 1 && i < grid_.Rows(); i += step) {
      grid_.SetRow(i);
      grid_.SetCol(0);
      // A maybe-row may be on the air: worth a stop.
      if (grid_.CellBackColor() == ActiveColour || grid_.CellBackColor() == MaybeColour) {
        grid_.SetRow(i);
        grid_.SetCol(kColFrequency);
        TuneCurrentRow(true);
        cur = i;
        break;
      }
    }
    grid_.SetRow(cur);
    grid_.SetCol(col);
    grid_.ScrollToRow(cur, down);
    grid_.Refresh();
    grid_.setFocus();
  }
  host_.OnTuningStateChanged();
}

void TuningControl::ChooseRange() {
  if (grid_.Row() == grid_.RowSel()) {
    stepRow = grid_.Row();
    rangeFirst = 1;
    rangeLast = grid_.Rows() - 1;
  } else {
    rangeFirst = std::min(grid_.Row(), grid_.RowSel());
    rangeLast = std::max(grid_.Row(), grid_.RowSel());
    stepRow = rangeFirst;
  }
}

void TuningControl::ScanStep() {
  if (stepRow < 0) {
    ChooseRange();
    RedrawOff batch(grid_);
    for (int i = rangeFirst; i <= rangeLast; ++i) SetMark(i, ScanColour);
  }
  const int top = grid_.TopRow();
  grid_.SetRow(stepRow);
  grid_.SetCol(kColFrequency);
  if (!grid_.IsRowVisible(stepRow)) grid_.SetTopRow(top + 1);
  grid_.Refresh();
  TuneCurrentRow(true);
  if (++stepRow > rangeLast) {
    stepRow = rangeFirst;
    if (!grid_.IsRowVisible(stepRow)) grid_.SetTopRow(rangeFirst);
  }
}

void TuningControl::ScheduleStep() {
  const OnAirColumns columns(grid_);
  const std::time_t instant = clock_();
  if (stepRow < 0) ChooseRange();
  RedrawOff batch(grid_);
  int row = grid_.Row(), col = grid_.Col();
  bool found = false;
  for (int i = rangeFirst; i <= rangeLast; ++i) {
    const UtcRange range = ParseUtcRange(grid_.TextMatrix(i, kColUtc));
    if (range.result <= 0) continue;
    grid_.SetRow(i);
    grid_.SetCol(0);
    const OnAir state = found ? OnAir::kOff : columns.Evaluate(i, instant);
    if (state == OnAir::kOn || state == OnAir::kMaybe) {
      found = true;
      // Already green: tuned by an earlier pass.
      if (grid_.CellBackColor() == ActiveColour) continue;
      grid_.SetCellBackColor(ActiveColour);
      row = i;
      grid_.SetRow(i);
      grid_.SetCol(kColFrequency);
      if (!grid_.IsRowVisible(i)) grid_.SetTopRow(i);
      grid_.Refresh();
      TuneCurrentRow(true);
      continue;
    }
    if (grid_.CellBackColor() != IdleColour) grid_.SetCellBackColor(IdleColour);
  }
  grid_.SetRow(row);
  grid_.SetCol(col);
}

void TuningControl::ToggleScheduleMode() {
  IdleQueue::BusyScope busy(link_.idle());
  if (!scheduleMode) {
    scheduleMode = true;
    stepRow = -1;
    ScheduleStep();
  } else {
    scheduleMode = false;
    EndStepping();
  }
  host_.OnTuningStateChanged();
}

// The marks go, and the current cell lands on the row the mode would have gone on with.
void TuningControl::EndStepping() {
  RedrawOff batch(grid_);
  list_.RenumberRows();
  grid_.SetRow(stepRow);
  grid_.SetCol(kColFrequency);
  stepRow = -1;
}

void TuningControl::ToggleScanMode() {
  IdleQueue::BusyScope busy(link_.idle());
  if (!scanMode) {
    scanMode = true;
    stepRow = -1;
    ScanStep();
    scanTimer_.start();
  } else {
    scanMode = false;
    scanTimer_.stop();
    EndStepping();
  }
  host_.OnTuningStateChanged();
}

void TuningControl::OnTimer(int id) {
  if (id != kTimerClock && id != kTimerScan) {
    link_.OnTimer(id);
    return;
  }
  // A message box of the link runs its own event loop: a tick that lands there would start
  // a step inside the running one. It follows when the running one returns.
  link_.idle().RunWhenIdle(id, [this, id] { RunTimer(id); });
}

void TuningControl::RunTimer(int id) {
  {
    IdleQueue::BusyScope busy(link_.idle());
    if (id == kTimerClock) {
      UpdateClock();
      if (scheduleMode) ScheduleStep();
    } else if (scanMode) {
      ScanStep();
    }
  }
  host_.OnTuningStateChanged();
}

bool TuningControl::isTimerRunning(int id) const {
  if (id == kTimerClock) return clockTimer_.isActive();
  if (id == kTimerScan) return scanTimer_.isActive();
  return link_.isTimerRunning(id);
}

void TuningControl::TurnOffTimedModes() {
  if (autoMode) ToggleAutoMode();
  if (scanMode) ToggleScanMode();
  if (scheduleMode) ToggleScheduleMode();
}

bool TuningControl::RowValue(int row, double* khz) const {
  const QString cell = grid_.TextMatrix(row, kColFrequency);
  if (cell.isEmpty()) return false;
  *khz = LeadingNumber(cell);
  if (offsetColumn != kColFrequency) *khz += LeadingNumber(grid_.TextMatrix(row, offsetColumn));
  return true;
}

OnAir TuningControl::RowOnAirNow(int row) const {
  if (rowOnAir_) return rowOnAir_(row);
  return OnAirColumns(grid_).Evaluate(row, clock_());
}

void TuningControl::MatchFrequency(uint64_t hz) {
  const double target = hz / 1000.0;
  double value = 0;
  if (RowValue(grid_.Row(), &value) && value == target) return;
  if (!(target > 0) || !autoMode || grid_.Rows() <= 1) return;
  if (!frequencies_.Current(grid_.TextRevision(), offsetColumn)) {
    frequencies_.Build(grid_.TextRevision(), offsetColumn, grid_.Rows(),
                       [this](int row, double* khz) { return RowValue(row, khz); });
  }
  const std::vector<int>* rows = frequencies_.Find(target);
  if (rows == nullptr) return;
  // Only rows sharing the frequency are asked, and only until one is on the air.
  int chosen = -1, maybe = -1;
  for (const int row : *rows) {
    const OnAir state = RowOnAirNow(row);
    if (state == OnAir::kOn) {
      chosen = row;
      break;
    }
    if (state == OnAir::kMaybe && maybe < 0) maybe = row;
  }
  if (chosen < 0) chosen = maybe >= 0 ? maybe : rows->front();
  grid_.SetRow(chosen);
  grid_.SetCol(kColFrequency);
  if (!grid_.IsRowVisible(chosen)) grid_.SetTopRow(chosen);
  grid_.Refresh();
}
