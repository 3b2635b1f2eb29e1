// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Where the text guides are looked for, in order: the current folder, the installed
// documentation folder, beside the executable, the documentation folder of an install tree
// that was moved to another prefix, and the source tree when the program runs from its
// build folder.
QStringList GuideFolders();

// The full path of the guide in the first folder that has it; empty when none has.
QString FindGuide(const QString& fileName, const QStringList& folders = GuideFolders());

// The address the About box links to: the English guide the Help menu would open, or where
// the installed one lives.
QString ReadmeAddress();
