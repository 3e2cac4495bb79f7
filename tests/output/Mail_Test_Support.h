#pragma once
// A real SMTP server for the e-mail tests: aiosmtpd run by Debian's Python on 127.0.0.1 at
// a free port, with one login, STARTTLS (or TLS from the start, or no TLS at all) on a
// self-signed certificate for IP:127.0.0.1 that the test's resource folder trusts
// ("smtp-ca.pem" beside the mail script). Every message is stored with its envelope, and
// every login attempt is counted; the test reads them back.

#include "model/Shared_Design_State.h"
#include "support/Test_Support.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace mail_test {

inline const QString Login = QStringLiteral("me@example.org");
inline const QString Password = QStringLiteral("pässwort 1");

// One stored message: the envelope and, parsed by Python's email package, the headers and
// the parts as the receiver sees them.
struct Received {
  QString mail_from;
  QStringList rcpt_tos;
  QString raw_subject;  // the header as it travelled
  QString subject;      // decoded
  QString body;
  struct Part {
    QString filename;
    QString content_type;
    QByteArray data;
  };
  QList<Part> attachments;
};

inline const char* Server_Script = R"PY(
import json, os, socket, ssl, sys, warnings
warnings.simplefilter("ignore")
from email import policy
from email.parser import BytesParser
from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

folder, cert, key, mode, login, password = sys.argv[1:7]

class Handler:
    count = 0
    async def handle_DATA(self, server, session, envelope):
        Handler.count += 1
        raw = envelope.original_content or envelope.content
        message = BytesParser(policy=policy.default).parsebytes(raw)
        parts = []
        for part in message.iter_attachments():
            parts.append({"filename": part.get_filename(),
                          "type": part.get_content_type(),
                          "data": part.get_payload(decode=True).hex()})
        body = message.get_body(("plain",))
        head = raw.replace(b"\r\n", b"\n").split(b"\n\n", 1)[0].decode("ascii", "replace")
        raw_subject, taking = "", False
        for line in head.split("\n"):
            if line.lower().startswith("subject:"):
                raw_subject, taking = line, True
            elif taking and line[:1] in (" ", "\t"):
                raw_subject += line
            else:
                taking = False
        record = {"from": envelope.mail_from, "to": envelope.rcpt_tos,
                  "raw_subject": raw_subject,
                  "subject": str(message["Subject"]),
                  "body": body.get_content().replace("\r\n", "\n") if body is not None else "",
                  "attachments": parts}
        path = os.path.join(folder, "%04d.json" % Handler.count)
        with open(path + ".part", "w") as out:
            json.dump(record, out)
        os.rename(path + ".part", path)
        return "250 Message accepted"

def authenticator(server, session, envelope, mechanism, data):
    with open(os.path.join(folder, "logins"), "a") as out:
        out.write("%s\n" % mechanism)
    if (isinstance(data, LoginPassword) and data.login == login.encode()
            and data.password == password.encode()):
        return AuthResult(success=True)
    return AuthResult(success=False, handled=False)

context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
context.load_cert_chain(cert, key)
for attempt in range(20):
    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    options = dict(hostname="127.0.0.1", port=port, authenticator=authenticator)
    if mode == "implicit":
        options.update(ssl_context=context, auth_require_tls=False)
    elif mode == "plain":  # no STARTTLS offered; logins taken in clear
        options.update(auth_require_tls=False)
    else:
        options.update(tls_context=context, require_starttls=True, auth_require_tls=True)
    controller = Controller(Handler(), **options)
    try:
        controller.start()
        break
    except Exception:
        continue
else:
    sys.exit("no free port")
print("PORT", port, flush=True)
sys.stdin.read()  # until the test closes our standard input
controller.stop()
)PY";

// The self-signed certificate for IP:127.0.0.1 and its key, made once per test program.
struct Certificate {
  QString cert;
  QString key;
};
inline const Certificate& Test_Certificate() {
  static QTemporaryDir folder;
  static Certificate made = [] {
    Certificate c{folder.filePath(QStringLiteral("cert.pem")), folder.filePath(QStringLiteral("key.pem"))};
    const auto result = test_support::Run_Program(
        QStringLiteral("openssl"),
        {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
         QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"), c.key,
         QStringLiteral("-out"), c.cert, QStringLiteral("-days"), QStringLiteral("2"),
         QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
         QStringLiteral("subjectAltName=IP:127.0.0.1")});
    EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
    return c;
  }();
  return made;
}

class Smtp_Server {
 public:
  // mode "starttls", "implicit" or "plain"; the resource folder trusts the certificate.
  explicit Smtp_Server(const QString& mode = QStringLiteral("starttls")) {
    const Certificate& certificate = Test_Certificate();
    const QString trusted = Resource_Path + QStringLiteral("/smtp-ca.pem");
    QFile::remove(trusted);
    EXPECT_TRUE(QFile::copy(certificate.cert, trusted));
    const QString script = folder_.filePath(QStringLiteral("server.py"));
    QFile file(script);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Server_Script);
    file.close();
    messages_ = folder_.filePath(QStringLiteral("messages"));
    QDir().mkpath(messages_);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(test_support::System_Python(),
                   {script, messages_, certificate.cert, certificate.key, mode, Login, Password});
    EXPECT_TRUE(process_.waitForStarted(test_support::kDeadlock_Guard_Ms));
    while (!process_.canReadLine() && process_.waitForReadyRead(test_support::kDeadlock_Guard_Ms)) {
    }
    const QByteArray line = process_.readLine().trimmed();
    EXPECT_TRUE(line.startsWith("PORT ")) << line.toStdString();
    port_ = line.mid(5).toInt();
  }
  ~Smtp_Server() { Stop(); }

  int port() const { return port_; }
  QString port_text() const { return QString::number(port_); }

  void Stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.closeWriteChannel();
    if (!process_.waitForFinished(10000)) {
      process_.kill();
      process_.waitForFinished(2000);
    }
  }

  // How many times a client tried to log in (the password reached the server).
  int Login_Attempts() const {
    QFile file(QDir(messages_).filePath(QStringLiteral("logins")));
    if (!file.open(QIODevice::ReadOnly)) return 0;
    return int(file.readAll().count('\n'));
  }

  QList<Received> Messages() const {
    QList<Received> all;
    const QStringList names =
        QDir(messages_).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
      QFile file(QDir(messages_).filePath(name));
      if (!file.open(QIODevice::ReadOnly)) continue;
      const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
      Received r;
      r.mail_from = o["from"].toString();
      for (const auto& to : o["to"].toArray()) r.rcpt_tos << to.toString();
      r.raw_subject = o["raw_subject"].toString();
      r.subject = o["subject"].toString();
      r.body = o["body"].toString();
      for (const auto& p : o["attachments"].toArray()) {
        const QJsonObject part = p.toObject();
        r.attachments.append({part["filename"].toString(), part["type"].toString(),
                              QByteArray::fromHex(part["data"].toString().toLatin1())});
      }
      all << r;
    }
    return all;
  }

 private:
  QTemporaryDir folder_;
  QString messages_;
  QProcess process_;
  int port_ = 0;
};

// A hostile server: its greeting never ends ("220-" continuation lines as fast as the
// socket takes them). When the client goes away it reports how many bytes it had sent.
inline const char* Flooding_Server_Script = R"PY(
import socket, sys
listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(1)
print("PORT", listener.getsockname()[1], flush=True)
client, _ = listener.accept()
block = (b"220-" + b"x" * 500 + b"\r\n") * 128
sent = 0
try:
    while sent < (8 << 30):
        client.sendall(block)
        sent += len(block)
except OSError:
    pass
print("SENT", sent, flush=True)
)PY";

class Flooding_Server {
 public:
  Flooding_Server() {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(test_support::System_Python(),
                   {QStringLiteral("-c"), QString::fromUtf8(Flooding_Server_Script)});
    EXPECT_TRUE(process_.waitForStarted(test_support::kDeadlock_Guard_Ms));
    const QByteArray line = Read_Line();
    EXPECT_TRUE(line.startsWith("PORT ")) << line.toStdString();
    port_ = line.mid(5).toInt();
  }
  ~Flooding_Server() {
    process_.kill();
    process_.waitForFinished(5000);
  }
  QString port_text() const { return QString::number(port_); }
  // The bytes sent before the client left (-1 while it still reads).
  qint64 Bytes_Sent() {
    const QByteArray line = Read_Line();
    return line.startsWith("SENT ") ? line.mid(5).toLongLong() : -1;
  }

 private:
  QByteArray Read_Line() {
    while (!process_.canReadLine() && process_.waitForReadyRead(test_support::kDeadlock_Guard_Ms)) {
    }
    return process_.readLine().trimmed();
  }
  QProcess process_;
  int port_ = 0;
};

// A server that takes connections and never answers them: the first `relayed` connections
// are passed on to the port given (a real server), every later one is held open in
// silence, as a server that hangs does. It says when it holds one.
inline const char* Silent_Server_Script = R"PY(
import os, socket, sys, threading
relayed, target = int(sys.argv[1]), int(sys.argv[2])
listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(8)
print("PORT", listener.getsockname()[1], flush=True)

def pipe(source, sink):
    try:
        while True:
            data = source.recv(65536)
            if not data:
                break
            sink.sendall(data)
    except OSError:
        pass
    for s in (source, sink):
        try:
            s.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass

def until_stdin_closes():
    sys.stdin.read()
    os._exit(0)

threading.Thread(target=until_stdin_closes, daemon=True).start()
held, count = [], 0
while True:
    client, _ = listener.accept()
    count += 1
    if count <= relayed:
        upstream = socket.create_connection(("127.0.0.1", target))
        threading.Thread(target=pipe, args=(client, upstream), daemon=True).start()
        threading.Thread(target=pipe, args=(upstream, client), daemon=True).start()
    else:
        held.append(client)
        print("HELD", count, flush=True)
)PY";

class Silent_Server {
 public:
  explicit Silent_Server(int relayed = 0, int relay_port = 0) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(test_support::System_Python(),
                   {QStringLiteral("-c"), QString::fromUtf8(Silent_Server_Script),
                    QString::number(relayed), QString::number(relay_port)});
    EXPECT_TRUE(process_.waitForStarted(test_support::kDeadlock_Guard_Ms));
    while (!process_.canReadLine() && process_.waitForReadyRead(test_support::kDeadlock_Guard_Ms)) {
    }
    const QByteArray line = process_.readLine().trimmed();
    EXPECT_TRUE(line.startsWith("PORT ")) << line.toStdString();
    port_ = line.mid(5).toInt();
  }
  ~Silent_Server() {
    process_.closeWriteChannel();
    if (!process_.waitForFinished(10000)) {
      process_.kill();
      process_.waitForFinished(2000);
    }
  }
  QString port_text() const { return QString::number(port_); }
  // Connections held in silence so far (reads what the server said; call it while an
  // event loop runs, or after waiting).
  int Held() {
    process_.waitForReadyRead(0);
    while (process_.canReadLine())
      if (process_.readLine().startsWith("HELD ")) ++held_;
    return held_;
  }

 private:
  QProcess process_;
  int port_ = 0;
  int held_ = 0;
};

// A server that connects and then misbehaves in one way (its first argument):
//   "long greeting"  greets with one line of 10,000 bytes;
//   "refusal"        greets with "554 No mail here";
//   "long reply"     greets well, answers EHLO with one line of 10,000 bytes;
//   "silent"         says nothing at all;
//   "silent later"   greets well, then says nothing more.
// It keeps the connection open until the client goes away.
inline const char* Misbehaving_Server_Script = R"PY(
import socket, sys
mode = sys.argv[1]
listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(1)
print("PORT", listener.getsockname()[1], flush=True)
client, _ = listener.accept()
long_line = b"x" * 10000
if mode == "long greeting":
    client.sendall(b"220 " + long_line + b"\r\n")
elif mode == "refusal":
    client.sendall(b"554 No mail here\r\n")
elif mode in ("long reply", "silent later"):
    client.sendall(b"220 ready\r\n")
    command = client.makefile("rb").readline()
    if mode == "long reply":
        client.sendall(b"250 " + long_line + b"\r\n")
try:
    while client.recv(4096):
        pass
except OSError:
    pass
)PY";

class Misbehaving_Server {
 public:
  explicit Misbehaving_Server(const QString& mode) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(test_support::System_Python(),
                   {QStringLiteral("-c"), QString::fromUtf8(Misbehaving_Server_Script), mode});
    EXPECT_TRUE(process_.waitForStarted(test_support::kDeadlock_Guard_Ms));
    while (!process_.canReadLine() && process_.waitForReadyRead(test_support::kDeadlock_Guard_Ms)) {
    }
    const QByteArray line = process_.readLine().trimmed();
    EXPECT_TRUE(line.startsWith("PORT ")) << line.toStdString();
    port_ = line.mid(5).toInt();
  }
  ~Misbehaving_Server() {
    process_.kill();
    process_.waitForFinished(5000);
  }
  QString port_text() const { return QString::number(port_); }

 private:
  QProcess process_;
  int port_ = 0;
};

// Makes the mail script at `script` (a test's own copy) wait for a silent server for a day
// instead of its minute, so that a run that ends while a server is silent can only have
// been ended by what the test did (Stop, Exit), however slow the machine.
inline void Mail_Script_Waits_A_Day(const QString& script) {
  QFile file(script);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QByteArray text = file.readAll();
  file.close();
  const QByteArray wait = "TIMEOUT_SECONDS = 60\n";
  ASSERT_EQ(text.count(wait), 1);
  text.replace(wait, "TIMEOUT_SECONDS = 86400\n");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(text), text.size());
}

// The processes of this user whose command line has `argument` among its arguments
// (zombies not counted).
inline QList<qint64> Processes_With_Argument(const QString& argument) {
  QList<qint64> found;
  const QByteArray wanted = argument.toLocal8Bit();
  for (const QString& name : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    bool number = false;
    const qint64 pid = name.toLongLong(&number);
    if (!number) continue;
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!cmdline.open(QIODevice::ReadOnly)) continue;
    if (!cmdline.readAll().split('\0').contains(wanted)) continue;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
      const QByteArray text = stat.readAll();
      const qsizetype close = text.lastIndexOf(')');
      if (close > 0 && text.mid(close + 2, 1) == "Z") continue;
    }
    found << pid;
  }
  return found;
}

}  // namespace mail_test
