// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/link_events.h"

#include "common/texts.h"

QString LinkIndicatorText(int code) {
  switch (code & 0xFFFF) {
    case kIndicatorClear:
      return QString();
    case kIndicatorOk:
      return texts::kIndicatorOk;
    case kIndicatorReceiverError:
      return texts::kIndicatorReceiverError;
    case kIndicatorCommError:
      return texts::kIndicatorCommError;
    default:
      return texts::kIndicatorUnknown;
  }
}
