#include "model/CRDError.h"

#include <QCoreApplication>

const QString CRDErrorDomain = QStringLiteral("VovedaErrorDomain");

namespace {
QString lookup(const QString& key, const QString& fallback) {
  const QByteArray k = key.toUtf8();
  const QString text = QCoreApplication::translate("CRDError", k.constData());
  return text == key ? fallback : text;
}
}  // namespace

CRDError CRDErrorWithCode(long code) {
  CRDError error;
  error.domain = CRDErrorDomain;
  error.code = code;
  error.localizedDescription =
      lookup(QStringLiteral("description%1").arg(code),
             QStringLiteral("Voveda could not complete the operation because an unknown error "
                            "occurred."));
  error.localizedFailureReason = lookup(QStringLiteral("failureReason%1").arg(code),
                                        QStringLiteral("An unknown error occurred."));
  return error;
}
