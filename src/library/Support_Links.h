#pragma once
// The addresses the program opens: the maker's pages and mail addresses, the share pages,
// the review page and the three promoted products. Every address is in the one table of
// Support_Links.cpp; mail links are built and percent-encoded here.

#include <QImage>
#include <QString>
#include <QUrl>

// The link actions of the design window, each opening one fixed address.
enum class Support_Link {
  Support_Mail,     // mail to the support address, no subject or body
  Reseller_Mail,    // mail to the reseller address with subject and prefilled body
  Website_1,        // the maker's home page
  Website_2,        // the second web site, the one the share pages pass on
  Website_3,        // the third web site
  Google_Plus,      // share page, path "share", key "url" (the service is gone: placeholder)
  FaceBook,         // share page, path "share.php", key "u"
  Twitter,          // tweet page, path "intent/tweet", keys "source" and "url"
  FB_Like,          // like page, path "plugins/like.php", key "href"
  Social_Comments,  // the social-comments page (the share command)
  Review_Page,      // the review page of the review window
  Video_Channel,    // the video channel of the promotion window
};

// The address of a link action, fully encoded.
QString Support_Address(Support_Link link);

// A "mailto:" link: address, then "?subject=" and "&body=" when given. Subject and body are
// trimmed; a line break becomes "%0A%0A" (an empty line in the mail), a blank "%20", and
// every other character that would break the address ("&", "#", "?", "%", "=", non-ASCII,
// controls) is percent-encoded as UTF-8.
QString Mail_Link(const QString& address, const QString& subject = {}, const QString& body = {});
// The percent-encoding of Mail_Link for one subject or body.
QString Encode_Mail_Text(const QString& text);

// What the user is told when the desktop cannot open the address: for a "mailto:" address
// the mail address to write to, for a page its address.
QString Link_Failure_Message(const QUrl& url);
// Opens an encoded address through the platform (browser or mail program); false when it
// is empty or could not be opened at once. Whenever the desktop fails to open it, now or
// when its opener ends, Link_Failure_Message is shown.
bool Open_Link(const QString& address);
bool Open_Support_Link(Support_Link link);
// A new mail to the support address (Open_Link).
void Open_Support_Mail();

// A product of the promotion window ("S", "R" or "B").
struct Promoted_Product {
  QString code;
  QString name;
  QString short_description;
  QString long_description;
  QString picture_file;  // in the resource folder
  QString how_to_link;   // mail link with subject and explanatory body
  QString contact_link;  // mail link "User Enquiry from App: <app name>"
  QString order_link;    // the product's web page
};
// The product of a code with its links built for the application's name; nullptr for any
// other code.
const Promoted_Product* Find_Promoted_Product(const QString& code, const QString& app_name);
