#include "library/Support_Links.h"

#include "model/Common_Functions.h"
#include "platform/Platform.h"

QUrl Support_Mail_Url() { return QUrl(QStringLiteral("mailto:support@dadidividuvu.com")); }

void Open_Support_Mail() {
  if (!platform::Open_Url(Support_Mail_Url()))
    Show_MessageBox(QStringLiteral("No mail program could be opened. Please write to ") +
                    Support_Mail_Url().path() + QLatin1Char('.'));
}
