#include "library/Support_Links.h"

#include "model/Common_Functions.h"
#include "platform/Platform.h"

#include <array>
#include <map>

namespace {

// ---- The address table ----------------------------------------------------------------
// The maker's own pages use the reserved example.com domain until real ones exist.
const QString home_page = QStringLiteral("https://www.example.com/");
const QString second_site = QStringLiteral("https://cards.example.com/");
const QString third_site = QStringLiteral("https://apps.example.com/");
const QString support_mail = QStringLiteral("support@example.com");
const QString reseller_mail = QStringLiteral("partners@example.com");
const QString comments_page = QStringLiteral("https://www.example.com/comments");
const QString review_page = QStringLiteral("https://www.example.com/review");
const QString video_page = QStringLiteral("https://www.example.com/videos");
// The Google+ share service no longer exists: a placeholder with its path and key.
const QString google_plus_share = QStringLiteral("https://plus.example.com/share?url=%1");
const QString facebook_share = QStringLiteral("https://www.facebook.com/share.php?u=%1");
const QString twitter_tweet =
    QStringLiteral("https://twitter.com/intent/tweet?source=%1&url=%2");
const QString facebook_like = QStringLiteral("https://www.facebook.com/plugins/like.php?href=%1");

const QString reseller_subject = QStringLiteral("Affiliate/Partnership Enquiry");
const QString reseller_body = QStringLiteral(
    "Hello,\n"
    "==============================\n"
    "Please write your business name and contact information here.\n"
    "==============================\n"
    "I am interested in:\n"
    "1. Affiliate: selling your products for a commission.\n"
    "2. Reseller: buying licences in quantity at a discount.\n"
    "3. Other partnership (please describe).");

QString query_value(const QString& text) {
  return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

struct Product_Text {
  const char* code;
  const char* name;
  const char* short_description;
  const char* long_description;
  const char* picture_file;
  const char* mail;
  const char* how_to_subject;
  const char* how_to_body;
  const char* order_page;
};

const std::array<Product_Text, 3> products{{
    {"S", "Lumigrove Seat Planner", "Seating plans and place cards for every table.",
     "Draw the room, seat your guests by drag and drop and print matching place cards, "
     "table numbers and a plan for the entrance, all from one guest list.",
     "Promotion_S.png", "seating@example.com", "How to plan seats with Lumigrove Seat Planner",
     "Please send me the steps to seat a guest list and print its place cards.\n"
     "Thank you.",
     "https://www.example.com/products/seat-planner"},
    {"R", "Lumigrove Recipe Box", "Recipe cards you can print, share and keep.",
     "Collect recipes with photographs, scale them for any number of servings and print them "
     "as cards or a small booklet.",
     "Promotion_R.png", "recipes@example.com", "How to print recipe cards with Lumigrove Recipe Box",
     "Please send me the steps to print a recipe as a card.\nThank you.",
     "https://www.example.com/products/recipe-box"},
    {"B", "Lumigrove Badge Maker", "Name badges and ID cards with photos and barcodes.",
     "Design badges for events and staff, fill them from a spreadsheet with names, photos and "
     "barcodes, and print them on badge sheets or PVC cards.",
     "Promotion_B.png", "badges@example.com", "How to print badges with Lumigrove Badge Maker",
     "Please send me the steps to print name badges from a spreadsheet.\nThank you.",
     "https://www.example.com/products/badge-maker"},
}};

}  // namespace

QString Encode_Mail_Text(const QString& text) {
  QString trimmed = Trim_Str(text);
  trimmed.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  trimmed.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QString out;
  const QByteArray utf8 = trimmed.toUtf8();
  for (const char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if (b == '\n') {
      out += QStringLiteral("%0A%0A");
    } else if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
               QByteArrayView("-._~:/,;()!*'@").contains(c)) {
      out += QLatin1Char(c);
    } else {
      out += QStringLiteral("%%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    }
  }
  return out;
}

QString Mail_Link(const QString& address, const QString& subject, const QString& body) {
  QString link = QStringLiteral("mailto:") + Encode_Mail_Text(address);
  QChar separator = QLatin1Char('?');
  if (!subject.isEmpty()) {
    link += separator + QStringLiteral("subject=") + Encode_Mail_Text(subject);
    separator = QLatin1Char('&');
  }
  if (!body.isEmpty()) link += separator + QStringLiteral("body=") + Encode_Mail_Text(body);
  return link;
}

QString Support_Address(Support_Link link) {
  const QString shared = query_value(second_site);
  switch (link) {
    case Support_Link::Support_Mail: return Mail_Link(support_mail);
    case Support_Link::Reseller_Mail: return Mail_Link(reseller_mail, reseller_subject, reseller_body);
    case Support_Link::Website_1: return home_page;
    case Support_Link::Website_2: return second_site;
    case Support_Link::Website_3: return third_site;
    case Support_Link::Google_Plus: return google_plus_share.arg(shared);
    case Support_Link::FaceBook: return facebook_share.arg(shared);
    case Support_Link::Twitter: return twitter_tweet.arg(query_value(QStringLiteral("lumigrove")), shared);
    case Support_Link::FB_Like: return facebook_like.arg(shared);
    case Support_Link::Social_Comments: return comments_page;
    case Support_Link::Review_Page: return review_page;
    case Support_Link::Video_Channel: return video_page;
  }
  return {};
}

QString Link_Failure_Message(const QUrl& url) {
  if (url.scheme() == QLatin1String("mailto"))
    return QStringLiteral("No mail program could be opened. Please write to %1.")
        .arg(url.path(QUrl::FullyDecoded));
  return QStringLiteral("The page could not be opened: no web browser was found, or it "
                        "failed.\n\nIts address is\n%1")
      .arg(url.toString(QUrl::FullyEncoded));
}

bool Open_Link(const QString& address) {
  if (Trim_Str(address).isEmpty()) return false;
  const QUrl url = QUrl::fromEncoded(Trim_Str(address).toUtf8(), QUrl::StrictMode);
  if (!url.isValid()) {
    Show_NSLog_Message(QStringLiteral("Cannot open the address %1").arg(address));
    return false;
  }
  return platform::Open_Url(url, [url] { Show_MessageBox(Link_Failure_Message(url)); });
}

bool Open_Support_Link(Support_Link link) { return Open_Link(Support_Address(link)); }

void Open_Support_Mail() { Open_Support_Link(Support_Link::Support_Mail); }

const Promoted_Product* Find_Promoted_Product(const QString& code, const QString& app_name) {
  // Links are fixed with the application's name of the first request for that name.
  static std::map<QString, std::array<Promoted_Product, 3>> built;
  auto it = built.find(app_name);
  if (it == built.end()) {
    std::array<Promoted_Product, 3> list;
    for (std::size_t i = 0; i < products.size(); ++i) {
      const Product_Text& p = products[i];
      const QString name = QString::fromUtf8(p.name);
      const QString mail = QString::fromUtf8(p.mail);
      list[i] = {QString::fromLatin1(p.code),
                 name,
                 QString::fromUtf8(p.short_description),
                 QString::fromUtf8(p.long_description),
                 QString::fromLatin1(p.picture_file),
                 Mail_Link(mail, QString::fromUtf8(p.how_to_subject), QString::fromUtf8(p.how_to_body)),
                 Mail_Link(mail, QStringLiteral("User Enquiry from App: ") + app_name,
                           QStringLiteral("Dear %1 support team,\nI am using %2 and would like to "
                                          "know more about %1.")
                               .arg(name, app_name)),
                 QString::fromLatin1(p.order_page)};
    }
    it = built.emplace(app_name, list).first;
  }
  for (const Promoted_Product& product : it->second)
    if (product.code == code) return &product;
  return nullptr;
}
