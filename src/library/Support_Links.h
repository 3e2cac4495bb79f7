#pragma once
// The maker's support address and the mail the program opens to it.

#include <QUrl>

// "mailto:" with the support address, no subject or body.
QUrl Support_Mail_Url();
// Opens a new mail to the support address in the user's mail program; a message says so
// when no mail program answers.
void Open_Support_Mail();
