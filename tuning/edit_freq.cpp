// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/edit_freq.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>
#include <thread>
#include <tuple>

#include "common/texts.h"
#include "link/link_control.h"
#include "link/receiver_models.h"
#include "list/line_editor.h"
#include "list/list_format.h"
#include "list/wait_cursor.h"
#include "tuning/hertz.h"

namespace {

constexpr const char* kStepTexts[CEditFreq::kStepCount] = {
    "0.001", "0.01", "0.05", "0.1", "0.5", "1", "5", "6.25", "9", "10", "12.5", "20", "25", "100"};
constexpr int kReadPauseMs = 50;
constexpr const char* kFrequencyFontFamily = "Arial";
constexpr int kFrequencyFontPoints = 20;
constexpr int kCellCount = 8;
constexpr int kCellFrequency = 1;
constexpr int kCellMode = 3;
constexpr int kCellStamp = 4;

// Whole hertz in 64 bits: the box allows up to 9 GHz, beyond what 32 bits hold, and a
// value cut to its low bits would snap or tune to some unrelated frequency.
uint64_t ToHertz(double khz) {
  const double hz = WholeHertz(khz);
  if (!(hz > 0)) return 0;
  if (hz >= static_cast<double>(std::numeric_limits<uint64_t>::max())) {
    return std::numeric_limits<uint64_t>::max();
  }
  return static_cast<uint64_t>(hz);
}

QString FrequencyText(double khz) { return QString::asprintf("%.3f", khz); }

void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(kReadPauseMs)); }

// The Add key's time stamp: hour and minute in UTC, the date as the local calendar shows it.
QString FormatUtcStamp(std::time_t t, int format) {
  const UtcTime utc = SplitUtc(t);
  const QString hhmm = QString::asprintf("%02d%02d", utc.hour, utc.minute);
  if (format == 0) return hhmm;
  if (format != 1 && format != 2) return QString();
  // The date is the one on the user's calendar, even where it is already tomorrow in UTC.
  std::tm local{};
  localtime_r(&t, &local);
  char date[32] = {};
  std::strftime(date, sizeof date, format == 1 ? "%d-%m-%y" : "%m-%d-%y", &local);
  return hhmm + "  " + QString::fromLatin1(date);
}

}  // namespace

CEditFreq::CEditFreq(LinkControl& link, LineEditor& editor, UtcClock clock,
                     std::function<int()> utcFormat, StepMemory step, QWidget* parent)
    : QDialog(parent),
      link_(link),
      editor_(editor),
      clock_(std::move(clock)),
      utcFormat_(std::move(utcFormat)),
      stepIndex_(step.index),
      storeStep_(std::move(step.store)),
      frequencyFont_(kFrequencyFontFamily, kFrequencyFontPoints) {
  if (!clock_) clock_ = [] { return std::time(nullptr); };
  setWindowTitle(texts::kFrequencyTitle);
  setAttribute(Qt::WA_DeleteOnClose);
  BuildControls();
  step_->setCurrentIndex(stepIndex_);
  OnConnectionChanged();
  // The CAT and network polls bring frequency and mode within 750 ms; the Perseus poll
  // brings only the frequency.
  if (link_.linkConnected && link_.CanReadFrequency() && !link_.PollsMode()) {
    ReadReceiver();
    Pause();
    ReadReceiver();
  }
  write_->setFocus();
}

void CEditFreq::BuildControls() {
  using namespace edit_freq_names;
  auto named = [](QWidget* widget, const char* name) { widget->setObjectName(name); };

  frequency_ = new QLineEdit(this);
  named(frequency_, kFrequency);
  frequency_->setFont(frequencyFont_);
  frequency_->setMinimumWidth(QFontMetrics(frequencyFont_).horizontalAdvance("9000000.000 "));

  spinUp_ = new QToolButton(this);
  spinDown_ = new QToolButton(this);
  for (auto [button, arrow, name] : {std::tuple{spinUp_, Qt::UpArrow, kSpinUp},
                                     std::tuple{spinDown_, Qt::DownArrow, kSpinDown}}) {
    named(button, name);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  }
  auto* spin = new QVBoxLayout;
  spin->setSpacing(0);
  spin->addWidget(spinUp_);
  spin->addWidget(spinDown_);

  snap_ = new QPushButton(texts::kSnap, this);
  named(snap_, kSnap);
  snap_->setCheckable(true);
  snap_->setAutoDefault(false);

  step_ = new QComboBox(this);
  named(step_, kStep);
  for (const char* text : kStepTexts) step_->addItem(text);

  mode_ = new QComboBox(this);
  named(mode_, kMode);
  const ModeEntry* modes = link_.modes();
  for (int i = 0; modes != nullptr && modes[i].name != nullptr; ++i) mode_->addItem(modes[i].name);
  mode_->setCurrentIndex(-1);

  read_ = new QPushButton(texts::kRead, this);
  write_ = new QPushButton(texts::kWrite, this);
  add_ = new QPushButton(texts::kAdd, this);
  close_ = new QPushButton(texts::kClose, this);
  named(read_, kRead);
  named(write_, kWrite);
  named(add_, kAdd);
  named(close_, kClose);
  write_->setDefault(true);

  auto* grid = new QGridLayout;
  grid->addWidget(snap_, 0, 0);
  grid->addWidget(step_, 1, 0);
  grid->addWidget(frequency_, 0, 1, 2, 1);
  grid->addLayout(spin, 0, 2, 2, 1);
  grid->addWidget(new QLabel(texts::kModeLabel, this), 2, 0);
  grid->addWidget(mode_, 2, 1, 1, 2);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {read_, write_, add_, close_}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addSpacing(6);
  layout->addLayout(buttons);
  // The wheel tunes wherever it turns over the dialog: a list would otherwise change the step
  // or send a mode nobody chose, and the other controls may keep the turn to themselves.
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    child->installEventFilter(this);
  }

  connect(spinUp_, &QToolButton::clicked, this, [this] { OnSpin(+1); });
  connect(spinDown_, &QToolButton::clicked, this, [this] { OnSpin(-1); });
  connect(snap_, &QPushButton::clicked, this, [this] { StepFrequency(0); });
  connect(step_, &QComboBox::activated, this, &CEditFreq::OnStepChosen);
  connect(mode_, &QComboBox::activated, this, [this] { WriteDialogMode(); });
  connect(read_, &QPushButton::clicked, this, &CEditFreq::ReadReceiver);
  connect(write_, &QPushButton::clicked, this, &CEditFreq::OnWrite);
  connect(add_, &QPushButton::clicked, this, &CEditFreq::AddToList);
  connect(close_, &QPushButton::clicked, this, &CEditFreq::reject);
}

void CEditFreq::ReadReceiver() {
  if (!link_.linkConnected || !link_.CanReadFrequency()) return;
  IdleQueue::BusyScope busy(link_.idle());
  WaitCursor cursor;
  frequency_->clear();
  mode_->setCurrentIndex(-1);
  link_.ExpectReply();
  link_.ReadFrequency();
  Pause();
  link_.ReadMode();
}

void CEditFreq::OnConnectionChanged() {
  if (link_.linkConnected) ReadReceiver();
  read_->setEnabled(link_.linkConnected);
  write_->setEnabled(link_.linkConnected);
}

void CEditFreq::ShowFrequency(uint64_t hz) {
  // The poll reports every 750 ms; it must not take the box from under the user's typing.
  if (frequency_->hasFocus() && link_.IsPolled()) return;
  frequency_->setText(hz == 0 ? QString(texts::kNoFrequency) : FrequencyText(hz / 1000.0));
}

void CEditFreq::ShowMode(int code) {
  const char* name = ModeNameByCode(link_.modes(), code);
  const int index = mode_->findText(QString::fromUtf8(name), Qt::MatchFixedString);
  if (index >= 0) mode_->setCurrentIndex(index);
}

void CEditFreq::SetText(double khz) { frequency_->setText(FrequencyText(khz)); }

void CEditFreq::StepFrequency(int d) {
  const double step = LeadingNumber(step_->itemText(stepIndex_));
  double khz = LeadingNumber(frequency_->text());
  if (snap_->isChecked()) {
    uint64_t hz = ToHertz(khz);
    const uint64_t stepHz = ToHertz(step);
    if (stepHz > 0) hz -= hz % stepHz;
    khz = hz / 1000.0;
  }
  khz += d * step;
  SetText(std::clamp(khz, kMinFrequencyKhz, kMaxFrequencyKhz));
}

void CEditFreq::WriteDialogFrequency() {
  if (!link_.linkConnected) return;
  const double typed = LeadingNumber(frequency_->text());
  const double khz = std::clamp(typed, kMinFrequencyKhz, kMaxFrequencyKhz);
  // A value within range keeps its text as typed.
  if (khz != typed) SetText(khz);
  // What the command cannot carry the link refuses with its own status text.
  link_.WriteFrequency(ToHertz(khz));
}

void CEditFreq::WriteDialogMode() {
  if (mode_->currentIndex() < 0) return;
  IdleQueue::BusyScope busy(link_.idle());
  link_.WriteMode(ModeCodeByName(link_.modes(), mode_->currentText().toStdString()).code);
}

void CEditFreq::OnStepChosen(int index) {
  stepIndex_ = index;
  StepFrequency(0);
  if (storeStep_) storeStep_(stepIndex_);
  frequency_->setFocus();
}

void CEditFreq::OnSpin(int d) {
  IdleQueue::BusyScope busy(link_.idle());
  StepFrequency(d);
  WriteDialogFrequency();
  frequency_->setFocus();
}

void CEditFreq::OnWheel(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  // A sideways tilt of the wheel is not a turn.
  if (delta == 0) return;
  IdleQueue::BusyScope busy(link_.idle());
  StepFrequency(delta > 0 ? +1 : -1);
  WriteDialogFrequency();
  event->accept();
}

void CEditFreq::wheelEvent(QWheelEvent* event) { OnWheel(event); }

void CEditFreq::OnWrite() {
  IdleQueue::BusyScope busy(link_.idle());
  WaitCursor cursor;
  WriteDialogFrequency();
  WriteDialogMode();
}

void CEditFreq::OnOk() {
  IdleQueue::BusyScope busy(link_.idle());
  WaitCursor cursor;
  WriteDialogFrequency();
  write_->setFocus();
}

bool CEditFreq::eventFilter(QObject* watched, QEvent* event) {
  // Enter in the box writes the frequency alone; the default button must not follow it.
  if (watched == frequency_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OnOk();
      return true;
    }
  }
  if (event->type() == QEvent::Wheel) {
    OnWheel(static_cast<QWheelEvent*>(event));
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void CEditFreq::AddToList() {
  const QString text = frequency_->text();
  if (text.isEmpty()) return;
  QStringList cells;
  for (int i = 0; i < kCellCount; ++i) cells << QString();
  cells[kCellFrequency] = text;
  if (mode_->currentIndex() >= 0) cells[kCellMode] = mode_->currentText();
  cells[kCellStamp] = FormatUtcStamp(clock_(), utcFormat_ ? utcFormat_() : 0);
  editor_.AppendRow(cells);
}
