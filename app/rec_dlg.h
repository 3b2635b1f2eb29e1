// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <map>
#include <string>

#include "app/settings_store.h"
#include "link/com_ports.h"
#include "link/port_settings.h"
#include "link/receiver_models.h"

class QComboBox;
class QLineEdit;

// The modal "Settings" dialog: protocol, receiver, CI-V address, COM port and the device
// behind it, line speed, a network radio's host, scan interval, the Add key's UTC format, and the
// offset column for reading only. OK stores what it shows; Cancel stores nothing.
class CRecDlg : public QDialog {
 public:
  // `folders` says where serial lines are looked for.
  CRecDlg(const StoredSettings& current, int offsetColumn, QWidget* parent = nullptr,
          DeviceFolders folders = {});

  // The accepted settings after OK, otherwise those the dialog was opened with.
  const StoredSettings& settings() const { return settings_; }
  int offsetColumn() const { return offsetColumn_; }

  void accept() override;

 private:
  void BuildControls();
  void Initialise();
  // The chosen entry's protocol, which the list keeps in its data as an int.
  ProtocolKind Protocol() const;
  void FillReceivers();
  void ApplyProtocol();
  void ProposeAddress();
  void FillComList();
  QString ComLabel(int port, const PortMap& mapped) const;
  // The port OK will store: the chosen entry, or the one the dialog opened with.
  int SelectedPort() const;
  QString DeviceFor(int port) const;
  void ShowDevice();
  void FillDeviceList();
  void OnDeviceEdited(const QString& text);

  StoredSettings settings_;
  // The host shown at opening: the one stored, or one of this run alone.
  std::string openedHost_;
  int offsetColumn_;
  DeviceFolders folders_;
  // Device paths typed or picked for a port, stored only on OK.
  std::map<int, QString> deviceEdits_;

  QComboBox* protocol_ = nullptr;
  QComboBox* receiver_ = nullptr;
  QComboBox* address_ = nullptr;
  QComboBox* com_ = nullptr;
  QComboBox* device_ = nullptr;
  QComboBox* speed_ = nullptr;
  QLineEdit* netHost_ = nullptr;
  QLineEdit* scan_ = nullptr;
  QComboBox* utc_ = nullptr;
  QLineEdit* offset_ = nullptr;
};
