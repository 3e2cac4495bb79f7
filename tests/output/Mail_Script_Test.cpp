// The mail script call and our mail script: real deliveries to an aiosmtpd server over
// STARTTLS and TLS, failures (wrong password, no server), a hostile subject, and a
// recording stub in place of the script that shows exactly what the call hands over.

#include "Mail_Test_Support.h"

#include "model/Shared_Design_State.h"
#include "model/Common_Functions.h"
#include "output/Mail_Script.h"
#include "output/ui/Email_Setting.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"
#include "support/Deadlock_Guard.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QLineEdit>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

using mail_test::Smtp_Server;
using test_support::Design_Test;

class Mail_Script_Test : public Design_Test {
 protected:
  Mail_Message Message(const Smtp_Server& server, const QString& ssl = QStringLiteral("N")) {
    return Message(server.port_text(), ssl);
  }
  Mail_Message Message(const QString& port, const QString& ssl = QStringLiteral("N")) {
    Mail_Message m;
    m.sender = mail_test::Login;
    m.password = mail_test::Password;
    m.server = QStringLiteral("127.0.0.1");
    m.port = port;
    m.recipient = QStringLiteral("friend@example.org");
    m.subject = QStringLiteral("Greetings");
    m.body = QStringLiteral("Happy birthday!\nLine two.");
    m.ssl = ssl;
    return m;
  }

  QByteArray Png(QColor colour) {
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
  }

  QString Write(const QString& name, const QByteArray& data) {
    const QString path = files.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
    return path;
  }

  QTemporaryDir files;
};

TEST_F(Mail_Script_Test, DeliversOverStartTlsWithAttachmentsInOrderAndAnEncodedSubject) {
  Smtp_Server server;
  const QByteArray back = Png(Qt::blue), front = Png(Qt::red);
  Mail_Message m = Message(server);
  m.attachments = {Write(QStringLiteral("Party_Back.png"), back),
                   Write(QStringLiteral("Party.png"), front)};
  m.subject = QStringLiteral("Grüße ✨ $(touch x) `id`");
  m.recipient = QStringLiteral("  friend@example.org");  // blanks after a comma stay in it
  // A long letter: more than a command line can carry (128 KiB per argument).
  for (int line = 0; m.body.size() < 300 * 1024; ++line)
    m.body += QStringLiteral("\nLine %1: Grüße, \"quoted\" \\ and more.").arg(line);
  QDir::current().remove(QStringLiteral("x"));

  const Mail_Result result = sendEmail_pyth(m);
  ASSERT_TRUE(result.sent) << result.reason;

  const auto received = server.Messages();
  ASSERT_EQ(received.size(), 1);
  const auto& r = received[0];
  EXPECT_EQ(r.mail_from, mail_test::Login);
  EXPECT_EQ(r.rcpt_tos, QStringList{QStringLiteral("friend@example.org")});
  EXPECT_EQ(r.subject, m.subject);
  EXPECT_TRUE(r.raw_subject.contains(QStringLiteral("=?utf-8?"))) << r.raw_subject;
  EXPECT_FALSE(r.raw_subject.contains(QStringLiteral("ü"))) << r.raw_subject;
  EXPECT_TRUE(Trim_Str(r.body) == Trim_Str(m.body)) << r.body.size() << " of " << m.body.size();
  ASSERT_EQ(r.attachments.size(), 2);
  EXPECT_EQ(r.attachments[0].filename, QStringLiteral("Party_Back.png"));
  EXPECT_EQ(r.attachments[1].filename, QStringLiteral("Party.png"));
  for (const auto& part : r.attachments) EXPECT_EQ(part.content_type, QStringLiteral("image/png"));
  EXPECT_EQ(r.attachments[0].data, back);
  EXPECT_EQ(r.attachments[1].data, front);
  EXPECT_FALSE(QFileInfo::exists(QStringLiteral("x")));
  EXPECT_FALSE(QFileInfo::exists(files.filePath(QStringLiteral("x"))));
}

// A subject is one line: line breaks that slipped into it become blanks, so they neither
// fail the mail nor start a header of their own, whether the connection begins in plain
// text (and turns to TLS) or with TLS from the start.
TEST_F(Mail_Script_Test, SubjectsArriveInOneLineOverStartTlsAndTlsFromTheStart) {
  const struct {
    const char* typed;
    const char* received;
  } subjects[] = {
      {"Greetings", "Greetings"},
      {"Hi\r\nBcc: spy@example.org", "Hi Bcc: spy@example.org"},
      {"Happy\nbirthday", "Happy birthday"},
      {"One\rTwo", "One Two"},
  };
  const struct {
    const char* server_mode;
    const char* ssl;
  } connections[] = {{"starttls", "N"}, {"implicit", "Y"}};
  for (const auto& connection : connections) {
    Smtp_Server server(QString::fromLatin1(connection.server_mode));
    qsizetype count = 0;
    for (const auto& s : subjects) {
      SCOPED_TRACE(std::string(connection.server_mode) + ": " + s.received);
      Mail_Message m = Message(server, QString::fromLatin1(connection.ssl));
      m.subject = QString::fromUtf8(s.typed);
      const Mail_Result result = sendEmail_pyth(m);
      ASSERT_TRUE(result.sent) << result.reason;
      const auto received = server.Messages();
      ASSERT_EQ(received.size(), ++count);
      EXPECT_EQ(received.last().subject, QString::fromUtf8(s.received));
      EXPECT_EQ(received.last().rcpt_tos, QStringList{QStringLiteral("friend@example.org")});
      EXPECT_TRUE(received.last().attachments.isEmpty());
    }
  }
}

TEST_F(Mail_Script_Test, FailuresSendNothingAndSayWhy) {
  Smtp_Server server;
  // More than the attachments may weigh together, without its bytes on the disk.
  const QString heavy = files.filePath(QStringLiteral("heavy.pdf"));
  {
    QFile file(heavy);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(26 * 1024 * 1024));
  }
  struct Case {
    const char* what;
    std::function<void(Mail_Message&)> spoil;
    const char* reason_part;
  };
  const Case cases[] = {
      {"wrong password", [](Mail_Message& m) { m.password = QStringLiteral("wrong"); },
       "refused the login"},
      {"TLS from the start on a STARTTLS port", [](Mail_Message& m) { m.ssl = QStringLiteral("Y"); },
       "No TLS connection"},
      {"untrusted certificate",
       [](Mail_Message&) { QFile::remove(Resource_Path + QStringLiteral("/smtp-ca.pem")); },
       "certificate is not trusted"},
      {"port not a number", [](Mail_Message& m) { m.port = QStringLiteral("smtp"); },
       "not a port number"},
      {"header injection", [](Mail_Message& m) { m.recipient += QStringLiteral("\r\nBcc: x@y.org"); },
       "The recipient address 'friend@example.orgBcc:x@y.org' is not valid."},
      {"missing attachment", [](Mail_Message& m) { m.attachments = {QStringLiteral("/nonexistent.png")}; },
       "Cannot read the attachment"},
      {"attachments over 25 MiB", [&](Mail_Message& m) { m.attachments = {heavy}; },
       "larger than 25 MiB"},
      {"text over 8 MiB", [](Mail_Message& m) { m.body = QString(9 * 1024 * 1024, u'x'); },
       "too long"},
  };
  for (const Case& c : cases) {
    Mail_Message m = Message(server);
    c.spoil(m);
    const Mail_Result result = sendEmail_pyth(m);
    EXPECT_FALSE(result.sent) << c.what;
    EXPECT_TRUE(result.reason.contains(QString::fromLatin1(c.reason_part))) << c.what << ": "
                                                                            << result.reason;
  }
  EXPECT_TRUE(server.Messages().isEmpty());

  server.Stop();
  const Mail_Result result = sendEmail_pyth(Message(server));
  EXPECT_FALSE(result.sent);
  EXPECT_TRUE(result.reason.startsWith(QStringLiteral("Could not connect to 127.0.0.1 port ")))
      << result.reason;
  EXPECT_TRUE(result.reason.contains(QStringLiteral("refused"), Qt::CaseInsensitive)) << result.reason;
}

// TLS chosen is TLS required: a server that offers no STARTTLS gets neither the password
// nor the message, also on this machine.
TEST_F(Mail_Script_Test, TlsChosenAndNotOfferedSendsNothing) {
  Smtp_Server server(QStringLiteral("plain"));
  for (const QString& password : {mail_test::Password, QString()}) {
    Mail_Message m = Message(server);
    m.password = password;
    const Mail_Result result = sendEmail_pyth(m);
    EXPECT_FALSE(result.sent);
    EXPECT_TRUE(result.reason.contains(QStringLiteral("offers no STARTTLS"))) << result.reason;
  }
  EXPECT_EQ(server.Login_Attempts(), 0);
  EXPECT_TRUE(server.Messages().isEmpty());
}

// A server whose greeting never ends is cut off after a bounded reply, with the reason.
TEST_F(Mail_Script_Test, AFloodedGreetingIsCutOff) {
  mail_test::Flooding_Server server;
  Mail_Message m;
  m.sender = mail_test::Login;
  m.password = mail_test::Password;
  m.server = QStringLiteral("127.0.0.1");
  m.port = server.port_text();
  m.recipient = QStringLiteral("friend@example.org");
  const Mail_Result result = sendEmail_pyth(m);
  EXPECT_FALSE(result.sent);
  EXPECT_TRUE(result.reason.contains(QStringLiteral("reply of more than 500 lines"))) << result.reason;
  // What the script took in before it left: the bound plus what the sockets held.
  const qint64 sent = server.Bytes_Sent();
  EXPECT_GE(sent, 0);
  EXPECT_LT(sent, 32 * 1024 * 1024);
}

// A server that connected and then misbehaved is not one that "could not be connected", and
// one that went silent did not "close the connection": each reason says what happened. The
// script runs as shipped but for its wait for a silent server, cut to 2 seconds here.
TEST_F(Mail_Script_Test, ServersThatMisbehaveAfterConnectingAreNamedForWhatTheyDid) {
  QFile shipped(Mail_Script_Path());
  ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
  QByteArray script = shipped.readAll();
  const QByteArray wait = "TIMEOUT_SECONDS = 60\n";
  ASSERT_EQ(script.count(wait), 1);
  script.replace(wait, "TIMEOUT_SECONDS = 2\n");
  const QString impatient = Write(QStringLiteral("pyth_mail.py"), script);
  const struct {
    const char* mode;
    const char* reason;  // %1: the port
  } cases[] = {
      {"long greeting",
       "The server 127.0.0.1 sent a reply line longer than 8192 bytes, which SMTP does not "
       "allow; it is not an SMTP server that can be used."},
      {"long reply",
       "The server 127.0.0.1 sent a reply line longer than 8192 bytes, which SMTP does not "
       "allow; it is not an SMTP server that can be used."},
      {"refusal",
       "The server 127.0.0.1 port %1 answered, but refused the connection: 554 No mail here"},
      {"silent", "The server 127.0.0.1 did not answer within 2 seconds."},
      {"silent later", "The server 127.0.0.1 did not answer within 2 seconds."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    mail_test::Misbehaving_Server server(QString::fromLatin1(c.mode));
    const Mail_Message m = Message(server.port_text());
    const Mail_Result result = sendEmail_pyth(m, Mail_Script_Time_Limit_ms, impatient);
    EXPECT_FALSE(result.sent);
    QString expected = QString::fromLatin1(c.reason);
    if (expected.contains(QLatin1String("%1"))) expected = expected.arg(server.port_text());
    EXPECT_EQ(result.reason.toStdString(), expected.toStdString());
  }
}

TEST_F(Mail_Script_Test, TheSettingsDialogsTestMailUsesTheFieldsAndReportsTheResult) {
  Smtp_Server server;
  platform::Scoped_Scripted_Platform scripted;
  Email_Setting* dialog = Email_Setting::defaultInstance();
  dialog->_send_mail_sender_mail->setText(mail_test::Login.toUpper());
  dialog->_send_mail_password->setText(mail_test::Password);
  dialog->_send_mail_smtp->setText(QStringLiteral("127.0.0.1"));
  dialog->_send_mail_port->setText(server.port_text());
  dialog->_send_mail_to->setText(QStringLiteral("Friend@Example.org"));
  dialog->TLS_Selected();

  dialog->Send_Test_Email();
  EXPECT_EQ(dialog->_send_mail_result_status->text(), Email_Setting::Sent_Text);
  dialog->_send_mail_password->setText(QStringLiteral("wrong"));
  dialog->Send_Test_Email();
  // The failure says why: the general advice, then the script's reason.
  const QString failed = dialog->_send_mail_result_status->text();
  EXPECT_TRUE(failed.startsWith(Email_Setting::Failed_Text + QStringLiteral("\n\n"))) << failed;
  EXPECT_TRUE(failed.contains(QStringLiteral("refused the login"))) << failed;
  EXPECT_EQ(scripted.messages, (QStringList{QStringLiteral("\n") + Email_Setting::Sent_Text,
                                            QStringLiteral("\n") + failed}));

  const auto received = server.Messages();
  ASSERT_EQ(received.size(), 1);
  const QString app = QCoreApplication::applicationName();
  EXPECT_EQ(received[0].rcpt_tos, QStringList{QStringLiteral("friend@example.org")});
  EXPECT_EQ(received[0].mail_from, mail_test::Login);
  EXPECT_EQ(received[0].subject, app + QStringLiteral(" Test Mail"));
  EXPECT_EQ(Trim_Str(received[0].body), QStringLiteral("This is test mail sent by %1.").arg(app));
  // The test mail stores nothing.
  EXPECT_TRUE(Preferences::sharedInstance().send_email_SenderEmail().isEmpty());
}

// A stand-in for the mail script: records its arguments, its environment as the kernel
// holds it, its standard input, which of the private values (password, recipient, subject,
// body) show in any process's command line, and whether it may take a gigabyte of memory;
// then ends with the status named in "stub-exit" (or by "crash" / "hang").
const char* Stub_Script = R"PY(
import json, os, signal, sys, time
here = os.path.dirname(os.path.abspath(__file__))
stdin = sys.stdin.buffer.read()
values = json.loads(stdin.decode("utf-8"))
private = [values[k].encode() for k in ("password", "recipient", "subject", "body")]
seen = []
for pid in os.listdir("/proc"):
    if pid.isdigit():
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                line = f.read()
            seen += [pid for v in private if v and v in line]
        except OSError:
            pass
with open("/proc/self/environ", "rb") as f:
    environ = [v.decode() for v in f.read().split(b"\0") if v]
try:
    hog = bytearray(1 << 30)
    del hog
    gigabyte_refused = False
except MemoryError:
    gigabyte_refused = True
with open(os.path.join(here, "stub-record.json"), "w") as out:
    json.dump({"argv": sys.argv, "environ": environ, "stdin": values,
               "private_seen_in": seen, "gigabyte_refused": gigabyte_refused}, out)
action = open(os.path.join(here, "stub-exit")).read().strip()
if action == "crash":
    os.kill(os.getpid(), signal.SIGKILL)
if action == "hang":
    time.sleep(30)
sys.exit(int(action))
)PY";

TEST_F(Mail_Script_Test, TheCallHandsOverArgumentsEnvironmentAndPrivateValuesAsAgreed) {
  QFile stub(Mail_Script_Path());
  ASSERT_TRUE(stub.open(QIODevice::WriteOnly | QIODevice::Truncate));
  stub.write(Stub_Script);
  stub.close();
  auto set_action = [](const char* action) {
    QFile file(Resource_Path + QStringLiteral("/stub-exit"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(action);
  };
  auto record = [] {
    QFile file(Resource_Path + QStringLiteral("/stub-record.json"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(file.readAll()).object();
  };

  Mail_Message m;
  m.sender = QStringLiteral("me@example.org");
  m.password = QStringLiteral("s3cret-Päss\"{}");
  m.server = QStringLiteral("smtp.example.org");
  m.port = QStringLiteral("587");
  m.recipient = QStringLiteral("friend-7f3a@example.org");
  m.subject = QStringLiteral("$(id) ✨ private subject");
  m.body = QStringLiteral("Line 1\nLine 2 private body");
  m.attachments = {QStringLiteral("/tmp/a b.png"), QStringLiteral("/tmp/c.png")};
  // ssl left unset: "N"

  set_action("0");
  const Mail_Result sent = sendEmail_pyth(m);
  EXPECT_TRUE(sent.sent) << sent.reason;
  const QJsonObject r = record();
  QStringList argv;
  for (const auto& a : r["argv"].toArray()) argv << a.toString();
  EXPECT_EQ(argv, (QStringList{Mail_Script_Path(), m.sender, m.server, m.port, m.sender,
                               QStringLiteral("N"), m.attachments[0], m.attachments[1]}));
  QStringList environ;
  for (const auto& v : r["environ"].toArray()) environ << v.toString();
  environ.sort();
  EXPECT_EQ(environ, (QStringList{QStringLiteral("PATH=/bin:/usr/bin:/usr/local/bin"),
                                  QStringLiteral("PYTHONPATH=")}));
  const QJsonObject input = r["stdin"].toObject();
  EXPECT_EQ(input["password"].toString(), m.password);
  EXPECT_EQ(input["recipient"].toString(), m.recipient);
  EXPECT_EQ(input["subject"].toString(), m.subject);
  EXPECT_EQ(input["body"].toString(), m.body);
  EXPECT_TRUE(r["private_seen_in"].toArray().isEmpty());
  // The script's memory is bounded: a gigabyte is refused (it would not be without a bound).
  EXPECT_TRUE(r["gigabyte_refused"].toBool());

  // A setting never stored is passed as an empty argument; every fixed one is there.
  Mail_Message bare;
  sendEmail_pyth(bare);
  QStringList bare_argv;
  for (const auto& a : record()["argv"].toArray()) bare_argv << a.toString();
  EXPECT_EQ(bare_argv, (QStringList{Mail_Script_Path(), "", "", "", "", QStringLiteral("N")}));
  EXPECT_EQ(record()["stdin"].toObject().keys().size(), 4);

  struct Failure {
    const char* action;
    int limit_ms;
    const char* reason_part;
  };
  // The script that hangs meets the run's own limit; the others end by themselves and are
  // given all the time a loaded machine may need.
  for (const Failure& f : {Failure{"3", test_support::kDeadlock_Guard_Ms, "status 3"},
                           Failure{"crash", test_support::kDeadlock_Guard_Ms, "crashed"},
                           Failure{"hang", 1500, "did not end"}}) {
    set_action(f.action);
    const Mail_Result failed = sendEmail_pyth(m, f.limit_ms);
    EXPECT_FALSE(failed.sent) << f.action;
    EXPECT_TRUE(failed.reason.contains(QString::fromLatin1(f.reason_part))) << failed.reason;
  }

  QFile::remove(Mail_Script_Path());
  const Mail_Result missing = sendEmail_pyth(m);
  EXPECT_FALSE(missing.sent);
  EXPECT_EQ(missing.reason, QStringLiteral("The mail script %1 is missing.").arg(Mail_Script_Path()));
}

}  // namespace
