#pragma once
// Errors of the drawing core.

#include <QString>

extern const QString CRDErrorDomain;  // "VovedaErrorDomain"

struct CRDError {
  QString domain;
  long code = 0;
  QString localizedDescription;
  QString localizedFailureReason;
};

// An error in CRDErrorDomain with the texts of the "CRDError" translation context
// ("description<code>", "failureReason<code>") or the general fallbacks.
CRDError CRDErrorWithCode(long code);
