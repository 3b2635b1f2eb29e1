// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <functional>

// Every modal notice and question of the program goes through here, so that tests can
// answer them instead of a person.
using MessageBoxFunction = std::function<QMessageBox::StandardButton(
    QWidget* parent, const QString& title, const QString& text, QMessageBox::Icon icon,
    QMessageBox::StandardButtons buttons)>;

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const QString& title,
                                           const QString& text, QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Replaces how boxes are shown (an empty function restores the real boxes); returns the
// previous way.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function);
bool MessageBoxesReplaced();
