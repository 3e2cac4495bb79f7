#!/usr/bin/python3
"""Sends one e-mail for Lumigrove.

    pyth_mail.py SENDER SERVER PORT FROM SSL [ATTACHMENT...]

Standard input holds one JSON object (UTF-8) with what is private to the message:
"password", "recipient", "subject" and "body", all strings; it is not on the command line,
where any user of the machine could read it, and its length is not bound by the limits of
a command line. At most 8 MiB are read.

SSL "Y" opens the connection with TLS from the start (SMTP over SSL); anything else
connects in plain text and requires STARTTLS: a server that does not offer it gets nothing,
neither the password nor the message. Server certificates are checked against the system's
trust store and, when present, "smtp-ca.pem" beside this script.

A server's reply may have at most 500 lines and 64 KiB, and a line of it at most 8192 bytes;
a server that does not answer within 60 seconds is given up. The attachments may have at most
25 MiB together. The caller also bounds the memory of this process.

Exit status 0 when the server accepted the message; 1 with the reason on standard error
otherwise.

The script ends with the program that started it: when its parent is gone (the program was
ended, by a logout say), it ends at once instead of waiting out a silent server; nothing of
the e-mail is sent after that.
"""

import base64
import json
import mimetypes
import os
import smtplib
import socket
import ssl
import sys
import threading
import time
from email.message import EmailMessage
from email.utils import formatdate, make_msgid

TIMEOUT_SECONDS = 60
MAX_INPUT_BYTES = 8 * 1024 * 1024
MAX_ATTACHMENT_BYTES = 25 * 1024 * 1024
MAX_REPLY_LINES = 500
MAX_REPLY_BYTES = 64 * 1024
PARENT_CHECK_SECONDS = 0.25


class MailError(Exception):
    pass


def read_input():
    data = sys.stdin.buffer.read(MAX_INPUT_BYTES + 1)
    if len(data) > MAX_INPUT_BYTES:
        raise MailError("The message is too long: at most %d MiB of text can be sent."
                        % (MAX_INPUT_BYTES // (1024 * 1024)))
    try:
        values = json.loads(data.decode("utf-8"))
    except (UnicodeDecodeError, ValueError) as error:
        raise MailError("The message handed to the mail script is not readable.") from error
    if not isinstance(values, dict):
        raise MailError("The message handed to the mail script is not readable.")
    fields = {}
    for name in ("password", "recipient", "subject", "body"):
        value = values.get(name, "")
        if not isinstance(value, str):
            raise MailError("The message handed to the mail script is not readable.")
        fields[name] = value
    return fields


def header_text(name, value):
    if "\r" in value or "\n" in value or "\0" in value:
        raise MailError("The %s must not contain line breaks." % name)
    return value


def address(name, value):
    value = "".join(value.split())  # blanks around and inside an address mean nothing
    header_text(name, value)
    if value.count("@") != 1 or value.startswith("@") or value.endswith("@"):
        raise MailError("The %s address %r is not valid." % (name, value))
    return value


def content_type(data, path):
    signatures = (
        (b"\x89PNG\r\n\x1a\n", ("image", "png")),
        (b"\xff\xd8\xff", ("image", "jpeg")),
        (b"GIF87a", ("image", "gif")),
        (b"GIF89a", ("image", "gif")),
        (b"%PDF-", ("application", "pdf")),
    )
    for signature, kind in signatures:
        if data.startswith(signature):
            return kind
    guessed, encoding = mimetypes.guess_type(path)
    if guessed and not encoding:
        return tuple(guessed.split("/", 1))
    return ("application", "octet-stream")


def read_attachment(path, budget):
    """The file's bytes; at most `budget` of them, checked before they are read."""
    try:
        with open(path, "rb") as attached:
            if os.fstat(attached.fileno()).st_size > budget:
                raise MailError("The attachments are larger than %d MiB together; mail servers "
                                "refuse such messages." % (MAX_ATTACHMENT_BYTES // (1024 * 1024)))
            data = attached.read(budget + 1)
    except OSError as error:
        raise MailError("Cannot read the attachment %s: %s" % (path, error.strerror)) from error
    if len(data) > budget:  # grew while it was read
        raise MailError("The attachments are larger than %d MiB together; mail servers "
                        "refuse such messages." % (MAX_ATTACHMENT_BYTES // (1024 * 1024)))
    return data


def build_message(sender, recipient, subject, body, attachments):
    message = EmailMessage()
    # A subject typed in one line; line breaks that slipped in become blanks.
    message["Subject"] = " ".join(subject.replace("\0", "").splitlines())
    message["From"] = sender
    message["To"] = recipient
    message["Date"] = formatdate(localtime=True)
    message["Message-ID"] = make_msgid()
    message.set_content(body)
    budget = MAX_ATTACHMENT_BYTES
    for path in attachments:
        data = read_attachment(path, budget)
        budget -= len(data)
        maintype, subtype = content_type(data, path)
        message.add_attachment(data, maintype=maintype, subtype=subtype,
                               filename=os.path.basename(path))
    return message


class ReplyTooLong(Exception):
    pass


class ReplyLineTooLong(Exception):
    pass


class ServerSilent(Exception):
    pass


class BoundedReplies:
    """Reads a server's replies through a file that counts the lines and bytes of the
    reply under way: a server that never ends a reply (a flooded greeting, say) is cut off
    at the bound instead of filling the memory."""

    class Counting:
        def __init__(self, file):
            self.file = file
            self.lines = 0
            self.bytes = 0

        def readline(self, limit=-1):
            # smtplib turns any failure of this read into "Connection unexpectedly closed"
            # and a line past its limit into a reply "500 Line too long." the server never
            # sent: both are told apart here, where they happen.
            try:
                line = self.file.readline(limit)
            except (socket.timeout, TimeoutError):
                raise ServerSilent() from None
            self.lines += 1
            self.bytes += len(line)
            if self.lines > MAX_REPLY_LINES or self.bytes > MAX_REPLY_BYTES:
                raise ReplyTooLong()
            if 0 < limit <= len(line):
                raise ReplyLineTooLong()
            return line

        def close(self):
            self.file.close()

    def __init__(self, host, *arguments, **options):
        self.server_name = host
        super().__init__(host, *arguments, **options)

    def getreply(self):
        if self.file is None:
            self.file = self.sock.makefile("rb")
        if not isinstance(self.file, BoundedReplies.Counting):
            self.file = BoundedReplies.Counting(self.file)
        self.file.lines = self.file.bytes = 0
        try:
            return super().getreply()
        except ReplyTooLong:
            self.close()
            raise MailError("The server %s sent a reply of more than %d lines or %d KiB; it is "
                            "not an SMTP server that can be used." %
                            (self.server_name, MAX_REPLY_LINES, MAX_REPLY_BYTES // 1024)) from None
        except ReplyLineTooLong:
            self.close()
            raise MailError("The server %s sent a reply line longer than %d bytes, which SMTP "
                            "does not allow; it is not an SMTP server that can be used." %
                            (self.server_name, smtplib._MAXLINE)) from None
        except ServerSilent:
            self.close()
            raise MailError("The server %s did not answer within %d seconds."
                            % (self.server_name, TIMEOUT_SECONDS)) from None

    def send(self, data):
        try:
            return super().send(data)
        except smtplib.SMTPServerDisconnected as error:
            # smtplib reports any failed write as a lost connection.
            if isinstance(error.__context__, (socket.timeout, TimeoutError)):
                raise MailError("The server %s took nothing more for %d seconds."
                                % (self.server_name, TIMEOUT_SECONDS)) from None
            raise


class PlainConnection(BoundedReplies, smtplib.SMTP):
    pass


class TlsConnection(BoundedReplies, smtplib.SMTP_SSL):
    pass


def tls_context():
    context = ssl.create_default_context()
    authority = os.path.join(os.path.dirname(os.path.abspath(__file__)), "smtp-ca.pem")
    if os.path.isfile(authority):
        context.load_verify_locations(cafile=authority)
    return context


def login(connection, user, password):
    try:
        user.encode("ascii")
        password.encode("ascii")
    except UnicodeEncodeError:
        # smtplib sends ASCII only; PLAIN carries UTF-8 (RFC 4616).
        mechanisms = connection.esmtp_features.get("auth", "").upper().split()
        if "PLAIN" not in mechanisms:
            raise MailError("The server offers no login that takes this password.")
        token = base64.b64encode(b"\0" + user.encode("utf-8") + b"\0" + password.encode("utf-8"))
        code, reply = connection.docmd("AUTH", "PLAIN " + token.decode("ascii"))
        if code != 235:
            raise smtplib.SMTPAuthenticationError(code, reply)
        return
    connection.login(user, password)


def connect(server, port, use_ssl, context):
    try:
        if use_ssl:
            return TlsConnection(server, port, timeout=TIMEOUT_SECONDS, context=context)
        return PlainConnection(server, port, timeout=TIMEOUT_SECONDS)
    except socket.gaierror as error:
        raise MailError("The server name %s is not known (%s)." % (server, error.strerror)) from error
    except smtplib.SMTPConnectError as error:
        raise MailError("The server %s port %d answered, but refused the connection: %d %s"
                        % (server, port, error.smtp_code, text(error.smtp_error))) from error
    except smtplib.SMTPServerDisconnected as error:
        raise MailError("The server %s port %d closed the connection before it greeted."
                        % (server, port)) from error
    except ssl.SSLCertVerificationError:
        raise
    except ssl.SSLError as error:
        raise MailError("No TLS connection to %s port %d (%s). Choose TLS when the server "
                        "expects STARTTLS, SSL when it expects TLS from the start."
                        % (server, port, error.reason or error)) from error
    except (socket.timeout, TimeoutError) as error:
        raise MailError("The server %s did not answer within %d seconds."
                        % (server, TIMEOUT_SECONDS)) from error
    except OSError as error:
        raise MailError("Could not connect to %s port %d: %s."
                        % (server, port, error.strerror or error)) from error


def send(server, port, use_ssl, sender, recipient, password, message):
    context = tls_context()
    connection = connect(server, port, use_ssl, context)
    with connection:
        connection.ehlo()
        if not use_ssl:
            # TLS was chosen: without STARTTLS nothing is sent, neither the password nor
            # the message.
            if not connection.has_extn("starttls"):
                raise MailError("The server %s offers no STARTTLS, which TLS requires; nothing "
                                "was sent. Choose SSL when the server expects TLS from the start."
                                % server)
            connection.starttls(context=context)
            connection.ehlo()
        if password:
            login(connection, sender, password)
        refused = connection.send_message(message, from_addr=sender, to_addrs=[recipient])
        if refused:
            raise MailError("The server refused the recipient %s." % recipient)


def end_with_parent():
    """Ends this process as soon as the process that started it is gone (the script is then
    the child of another process, an init or a subreaper)."""
    parent = os.getppid()

    def watch():
        while True:
            time.sleep(PARENT_CHECK_SECONDS)
            if os.getppid() != parent:
                os._exit(1)

    threading.Thread(target=watch, name="parent watch", daemon=True).start()


def main(arguments):
    if len(arguments) < 6:
        raise MailError("usage: pyth_mail.py SENDER SERVER PORT FROM SSL [ATTACHMENT...]")
    login_name, server, port_text, sender, ssl_flag = arguments[1:6]
    attachments = arguments[6:]
    fields = read_input()
    login_name = address("sender", login_name)
    sender = address("sender", sender)
    recipient = address("recipient", fields["recipient"])
    server = header_text("server", server.strip())
    if not server:
        raise MailError("No SMTP server is given.")
    try:
        port = int(port_text.strip())
    except ValueError:
        port = 0
    if not 0 < port < 65536:
        raise MailError("The port %r is not a port number." % port_text)
    message = build_message(sender, recipient, fields["subject"], fields["body"], attachments)
    send(server, port, ssl_flag == "Y", login_name, recipient, fields["password"], message)


def text(reply):
    return reply.decode("utf-8", "replace") if isinstance(reply, bytes) else str(reply)


def reason(error):
    """What a user reads when the e-mail was not sent."""
    if isinstance(error, MailError):
        return str(error)
    if isinstance(error, smtplib.SMTPAuthenticationError):
        return "The server refused the login (authentication failed): %d %s" % (
            error.smtp_code, text(error.smtp_error))
    if isinstance(error, ssl.SSLCertVerificationError):
        return ("The server's certificate is not trusted (%s). When the server uses a private "
                "certificate authority, add that authority to the system's trust store or put "
                "it in smtp-ca.pem beside the mail script." % error.verify_message)
    if isinstance(error, smtplib.SMTPRecipientsRefused):
        return "The server refused the recipient: %s" % "; ".join(
            "%s (%d %s)" % (who, code, text(reply))
            for who, (code, reply) in error.recipients.items())
    if isinstance(error, smtplib.SMTPSenderRefused):
        return "The server refused the sender %s: %d %s" % (
            error.sender, error.smtp_code, text(error.smtp_error))
    if isinstance(error, smtplib.SMTPResponseException):
        return "The server refused the e-mail: %d %s" % (error.smtp_code, text(error.smtp_error))
    if isinstance(error, smtplib.SMTPServerDisconnected):
        return "The server closed the connection: %s" % error
    if isinstance(error, ssl.SSLError):
        return "TLS with the server failed: %s" % (error.reason or error)
    if isinstance(error, (socket.timeout, TimeoutError)):
        return "The server did not answer within %d seconds." % TIMEOUT_SECONDS
    if isinstance(error, MemoryError):
        return "The mail script ran out of memory."
    if isinstance(error, (smtplib.SMTPException, OSError, ValueError)):
        return "Could not send the e-mail: %s" % error
    return "Could not send the e-mail: %r" % error


if __name__ == "__main__":
    end_with_parent()
    try:
        main(sys.argv)
    except Exception as error:  # every failure is a failed e-mail with its reason, never a trace
        try:
            print(reason(error), file=sys.stderr)
        except MemoryError:
            os.write(2, b"The mail script ran out of memory.\n")
        sys.exit(1)
    sys.exit(0)
