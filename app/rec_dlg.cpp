// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rec_dlg.h"

#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <functional>
#include <utility>

#include "app/message_box.h"
#include "app/serial_devices.h"
#include "common/texts.h"
#include "link/com_ports.h"
#include "link/net_address.h"
#include "link/port_settings.h"
#include "link/receiver_models.h"
#include "tuning/tuning_control.h"

namespace {

// The ports offered reach past COM96, the last with a device of its own, for ports pointed
// elsewhere in the settings.
constexpr int kFirstComPort = 1;
constexpr int kLastComPort = 99;

// Every address a radio can carry: not 00 (broadcast), not E0 (this program), and nothing
// from F0 on, where the frame bytes live. IC-R2 sits at EE.
constexpr int kLastAddress = 0xEF;
constexpr int kControllerAddress = 0xE0;

bool IsRadioAddress(int address) {
  return address >= 1 && address <= kLastAddress && address != kControllerAddress;
}

struct ProtocolEntry {
  const char* name;
  ProtocolKind kind;
};
// The list keeps None last although Network has the higher value, so each entry carries its
// kind rather than standing at that position.
constexpr ProtocolEntry kProtocols[] = {{"CI-V", kProtocolCiv},
                                        {"CAT", kProtocolCat},
                                        {"Network", kProtocolNetwork},
                                        {"None", kProtocolNone}};
const char* const kCivSpeeds[] = {"300", "1200", "4800", "9600", "19200"};
const char* const kCatSpeeds[] = {"4800", "9600", "38400"};
const char* const kUtcFormats[] = {"HHMM", "HHMM dd-mm-yy", "HHMM mm-dd-yy", "none"};
constexpr const char* kFallbackSpeed = "9600";

// A drop-down list that fills itself again each time it opens, so it shows what is there
// at that moment.
class RefillingComboBox : public QComboBox {
 public:
  RefillingComboBox(std::function<void()> refill, QWidget* parent)
      : QComboBox(parent), refill_(std::move(refill)) {}

  void showPopup() override {
    refill_();
    QComboBox::showPopup();
  }

 private:
  std::function<void()> refill_;
};

QComboBox* NamedCombo(QComboBox* combo, const char* name) {
  combo->setObjectName(QString::fromLatin1(name));
  return combo;
}

QFrame* Separator(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

// The number at the start of a speed entry.
int LeadingNumber(const QString& text) {
  qsizetype end = 0;
  while (end < text.size() && text[end].isDigit()) ++end;
  return text.left(end).toInt();
}

bool IsComPort(int port) { return port >= kFirstComPort && port <= kLastComPort; }

// The device behind a port as the link would open it now, before any edit in the dialog.
QString MappedDevice(int port) {
  return QFile::decodeName(QByteArray::fromStdString(PortDevice(port, LoadPortMap())));
}

}  // namespace

CRecDlg::CRecDlg(const StoredSettings& current, int offsetColumn, QWidget* parent,
                 DeviceFolders folders)
    : QDialog(parent),
      settings_(current),
      openedHost_(current.link.netHost),
      offsetColumn_(offsetColumn),
      folders_(std::move(folders)) {
  setWindowTitle(texts::kSettingsTitle);
  setModal(true);
  BuildControls();
  Initialise();
}

void CRecDlg::BuildControls() {
  protocol_ = NamedCombo(new QComboBox(this), "protocol");
  receiver_ = NamedCombo(new QComboBox(this), "receiver");
  address_ = NamedCombo(new QComboBox(this), "address");
  com_ = NamedCombo(new RefillingComboBox(
                        [this] {
                          FillComList();
                          ShowDevice();
                        },
                        this),
                    "comPort");
  device_ = NamedCombo(new RefillingComboBox([this] { FillDeviceList(); }, this), "device");
  speed_ = NamedCombo(new QComboBox(this), "speed");
  netHost_ = new QLineEdit(this);
  netHost_->setObjectName(QStringLiteral("netHost"));
  netHost_->setPlaceholderText(QString::fromLatin1(kDefaultNetHost));
  // Made in their order on screen, which is the order Tab follows.
  scan_ = new QLineEdit(this);
  scan_->setObjectName(QStringLiteral("scanInterval"));
  utc_ = NamedCombo(new QComboBox(this), "utcFormat");
  offset_ = new QLineEdit(this);
  offset_->setObjectName(QStringLiteral("offsetColumn"));
  offset_->setEnabled(false);

  for (const ProtocolEntry& entry : kProtocols) {
    protocol_->addItem(QString::fromLatin1(entry.name), static_cast<int>(entry.kind));
  }
  for (int address = 1; address <= kLastAddress; ++address) {
    if (IsRadioAddress(address)) address_->addItem(QString::asprintf("%02X", address), address);
  }
  for (const char* format : kUtcFormats) utc_->addItem(QString::fromLatin1(format));
  device_->setEditable(true);
  device_->setInsertPolicy(QComboBox::NoInsert);

  auto* ok = new QPushButton(texts::kOk, this);
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(texts::kCancel, this);
  cancel->setObjectName(QStringLiteral("cancel"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* form = new QFormLayout(this);
  form->addRow(texts::kProtocolLabel, protocol_);
  form->addRow(texts::kReceiverLabel, receiver_);
  form->addRow(texts::kAddressLabel, address_);
  form->addRow(texts::kComPortLabel, com_);
  form->addRow(texts::kDeviceLabel, device_);
  form->addRow(texts::kSpeedLabel, speed_);
  form->addRow(texts::kHostLabel, netHost_);
  form->addRow(Separator(this));
  form->addRow(texts::kScanLabel, scan_);
  form->addRow(texts::kUtcFormatLabel, utc_);
  form->addRow(texts::kOffsetLabel, offset_);
  form->addRow(Separator(this));
  form->addRow(buttons);

  // Every programmatic change runs under a signal blocker, so these see the user's only.
  connect(protocol_, &QComboBox::currentIndexChanged, this, [this] {
    FillReceivers();
    ApplyProtocol();
    ProposeAddress();
  });
  connect(receiver_, &QComboBox::currentIndexChanged, this, [this] { ProposeAddress(); });
  connect(com_, &QComboBox::currentIndexChanged, this, [this] { ShowDevice(); });
  connect(device_, &QComboBox::editTextChanged, this, &CRecDlg::OnDeviceEdited);
  connect(ok, &QPushButton::clicked, this, &CRecDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CRecDlg::reject);
}

void CRecDlg::Initialise() {
  const QSignalBlocker blockProtocol(protocol_);
  const QSignalBlocker blockCom(com_);
  protocol_->setCurrentIndex(
      protocol_->findData(static_cast<int>(ModelAt(settings_.link.modelIndex).protocol)));
  const int address = settings_.link.address;
  address_->setCurrentIndex(IsRadioAddress(address) ? address_->findData(address) : -1);
  FillComList();
  com_->setCurrentIndex(IsComPort(settings_.link.comPort) ? settings_.link.comPort - 1 : -1);
  FillReceivers();
  ApplyProtocol();
  netHost_->setText(QString::fromStdString(settings_.link.netHost));
  scan_->setText(QString::number(std::max(settings_.scanSeconds, 1)));
  offset_->setText(QString::number(offsetColumn_));
  utc_->setCurrentIndex(settings_.utcFormat);
}

ProtocolKind CRecDlg::Protocol() const {
  return static_cast<ProtocolKind>(protocol_->currentData().toInt());
}

void CRecDlg::FillReceivers() {
  const QSignalBlocker block(receiver_);
  receiver_->clear();
  for (int index = 0; index < kModelCount; ++index) {
    if (ModelAt(index).protocol == Protocol()) {
      receiver_->addItem(QString::fromLatin1(ModelAt(index).name));
    }
  }
  const int found = receiver_->findText(
      QString::fromLatin1(ModelAt(settings_.link.modelIndex).name), Qt::MatchStartsWith);
  receiver_->setCurrentIndex(found > 0 ? found : 0);
}

void CRecDlg::ApplyProtocol() {
  const ProtocolKind protocol = Protocol();
  const bool serial = protocol != kProtocolNone && protocol != kProtocolNetwork;
  address_->setEnabled(protocol == kProtocolCiv);
  com_->setEnabled(serial);
  speed_->setEnabled(serial);
  netHost_->setEnabled(protocol == kProtocolNetwork);

  speed_->clear();
  if (protocol == kProtocolCat) {
    for (const char* speed : kCatSpeeds) speed_->addItem(QString::fromLatin1(speed));
  } else {
    for (const char* speed : kCivSpeeds) speed_->addItem(QString::fromLatin1(speed));
  }
  int index = speed_->findText(QString::number(settings_.link.baudRate), Qt::MatchStartsWith);
  if (index < 0) index = speed_->findText(QString::fromLatin1(kFallbackSpeed), Qt::MatchStartsWith);
  speed_->setCurrentIndex(index);
  ShowDevice();
}

void CRecDlg::ProposeAddress() {
  if (Protocol() != kProtocolCiv) return;
  const ReceiverModel& model = ModelAt(ModelIndexByName(receiver_->currentText().toStdString()));
  const int index = address_->findText(QString::asprintf("%02X", model.defaultAddress),
                                       Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index >= 0) address_->setCurrentIndex(index);
}

// Which ports exist can change while the program runs (a USB adapter plugged in), so the
// list is built again on every opening, and the user picks anew.
void CRecDlg::FillComList() {
  const QSignalBlocker block(com_);
  com_->clear();
  const PortMap mapped = LoadPortMap();
  for (int port = kFirstComPort; port <= kLastComPort; ++port) {
    com_->addItem(ComLabel(port, mapped));
  }
  com_->setCurrentIndex(-1);
}

QString CRecDlg::ComLabel(int port, const PortMap& mapped) const {
  auto edit = deviceEdits_.find(port);
  if (edit == deviceEdits_.end()) return QString::fromStdString(PortLabel(port, mapped, folders_));
  QString label = QStringLiteral("COM%1").arg(port);
  if (IsSerialDevice(QFile::encodeName(edit->second).toStdString(), folders_)) {
    label += QString::fromLatin1(texts::kDetectedSuffix);
  }
  return label;
}

int CRecDlg::SelectedPort() const {
  return com_->currentIndex() >= 0 ? com_->currentIndex() + 1 : settings_.link.comPort;
}

QString CRecDlg::DeviceFor(int port) const {
  auto edit = deviceEdits_.find(port);
  if (edit != deviceEdits_.end()) return edit->second;
  return MappedDevice(port);
}

void CRecDlg::ShowDevice() {
  const int port = SelectedPort();
  const QSignalBlocker block(device_);
  device_->setEditText(IsComPort(port) ? DeviceFor(port) : QString());
  device_->setEnabled(IsComPort(port) && com_->isEnabled());
}

void CRecDlg::FillDeviceList() {
  const QSignalBlocker block(device_);
  const QString text = device_->currentText();
  device_->clear();
  for (const std::string& path : ListSerialDevices(folders_)) {
    device_->addItem(QFile::decodeName(QByteArray::fromStdString(path)));
  }
  device_->setCurrentIndex(-1);
  device_->setEditText(text);
}

void CRecDlg::OnDeviceEdited(const QString& text) {
  const int port = SelectedPort();
  if (IsComPort(port)) deviceEdits_[port] = text.trimmed();
}

void CRecDlg::accept() {
  // Under another protocol the field is disabled: what it holds is neither checked nor
  // stored, so the host kept for the network radio stays as it was.
  if (Protocol() == kProtocolNetwork) {
    const QString host = netHost_->text().trimmed();
    if (!ParseNetHost(host.toStdString())) {
      ShowMessageBox(this, texts::kAppTitle, texts::kSettingsBadHost, QMessageBox::Warning);
      netHost_->setFocus();
      netHost_->selectAll();
      return;
    }
    settings_.link.netHost = host.toStdString();
  }
  settings_.link.modelIndex = ModelIndexByName(receiver_->currentText().toStdString());
  // An empty selection keeps what was stored rather than storing an address or port 0.
  if (address_->currentIndex() >= 0) settings_.link.address = address_->currentData().toInt();
  if (com_->currentIndex() >= 0) settings_.link.comPort = com_->currentIndex() + 1;
  // The network radio has no line speed; the serial radio's stays for when it comes back.
  if (speed_->currentIndex() >= 0 && Protocol() != kProtocolNetwork) {
    settings_.link.baudRate = LeadingNumber(speed_->currentText());
  }
  // Text that is no number, or one too big, reads as 0. 0 and 1 become 1; a negative
  // number passes the unsigned test and is kept as typed. Above a day the timer runs a
  // day, so that is what is stored.
  const int scan = std::min(scan_->text().toInt(), kMaxScanIntervalSeconds);
  settings_.scanSeconds = static_cast<unsigned>(scan) <= 1 ? 1 : scan;
  offsetColumn_ = offset_->text().toInt();
  settings_.utcFormat = utc_->currentIndex();
  // A host put in place for this run alone (the demonstration's) runs on but is not stored
  // unless the user typed another.
  StoredSettings stored = settings_;
  if (stored.link.netHost == openedHost_) stored.link.netHost = LoadSettings().link.netHost;
  SaveSettings(stored);
  // Only the device shown at OK, for the port stored, and only when the user changed it: a
  // device mapped for this run alone must not become stored.
  const auto edit = deviceEdits_.find(SelectedPort());
  if (edit != deviceEdits_.end() && edit->second != MappedDevice(edit->first)) {
    SavePortDevice(edit->first, edit->second);
  }
  QDialog::accept();
}
