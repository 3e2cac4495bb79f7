#!/usr/bin/python3
"""Sends one e-mail for Lumigrove.

    pyth_mail.py SENDER SERVER PORT FROM TO SUBJECT BODY SSL [ATTACHMENT...]

The password is the first line of standard input (the rest is ignored). SSL "Y" opens
the connection with TLS from the start (SMTP over SSL); anything else connects in plain
text and switches to TLS when the server offers STARTTLS. A password is never sent in
clear text to a server outside this machine. Server certificates are checked against the
system's trust store and, when present, "smtp-ca.pem" beside this script.

Exit status 0 when the server accepted the message; 1 with the reason on standard error
otherwise.
"""

import base64
import ipaddress
import mimetypes
import os
import smtplib
import ssl
import sys
from email.message import EmailMessage
from email.utils import formatdate, make_msgid

TIMEOUT_SECONDS = 60


class MailError(Exception):
    pass


def read_password():
    line = sys.stdin.buffer.readline()
    if line.endswith(b"\n"):
        line = line[:-1]
    if line.endswith(b"\r"):
        line = line[:-1]
    try:
        return line.decode("utf-8")
    except UnicodeDecodeError as error:
        raise MailError("The password is not valid UTF-8.") from error


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


def build_message(sender, recipient, subject, body, attachments):
    message = EmailMessage()
    # A subject typed in one line; line breaks that slipped in become blanks.
    message["Subject"] = " ".join(subject.replace("\0", "").splitlines())
    message["From"] = sender
    message["To"] = recipient
    message["Date"] = formatdate(localtime=True)
    message["Message-ID"] = make_msgid()
    message.set_content(body)
    for path in attachments:
        try:
            with open(path, "rb") as attached:
                data = attached.read()
        except OSError as error:
            raise MailError("Cannot read the attachment %s: %s" % (path, error.strerror)) from error
        maintype, subtype = content_type(data, path)
        message.add_attachment(data, maintype=maintype, subtype=subtype,
                               filename=os.path.basename(path))
    return message


def tls_context():
    context = ssl.create_default_context()
    authority = os.path.join(os.path.dirname(os.path.abspath(__file__)), "smtp-ca.pem")
    if os.path.isfile(authority):
        context.load_verify_locations(cafile=authority)
    return context


def is_loopback(connection):
    try:
        peer = connection.sock.getpeername()[0]
        return ipaddress.ip_address(peer.split("%", 1)[0]).is_loopback
    except (OSError, ValueError, AttributeError):
        return False


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


def send(server, port, use_ssl, sender, recipient, password, message):
    context = tls_context()
    if use_ssl:
        connection = smtplib.SMTP_SSL(server, port, timeout=TIMEOUT_SECONDS, context=context)
    else:
        connection = smtplib.SMTP(server, port, timeout=TIMEOUT_SECONDS)
    with connection:
        connection.ehlo()
        encrypted = use_ssl
        if not use_ssl and connection.has_extn("starttls"):
            connection.starttls(context=context)
            connection.ehlo()
            encrypted = True
        if password:
            if not encrypted and not is_loopback(connection):
                raise MailError("The server %s offers no encryption; the password is not sent "
                                "in clear text." % server)
            login(connection, sender, password)
        refused = connection.send_message(message, from_addr=sender, to_addrs=[recipient])
        if refused:
            raise MailError("The server refused the recipient %s." % recipient)


def main(arguments):
    if len(arguments) < 9:
        raise MailError("usage: pyth_mail.py SENDER SERVER PORT FROM TO SUBJECT BODY SSL "
                        "[ATTACHMENT...]")
    login, server, port_text, sender, recipient, subject, body, ssl_flag = arguments[1:9]
    attachments = arguments[9:]
    password = read_password()
    login = address("sender", login)
    sender = address("sender", sender)
    recipient = address("recipient", recipient)
    server = header_text("server", server.strip())
    if not server:
        raise MailError("No SMTP server is given.")
    try:
        port = int(port_text.strip())
    except ValueError:
        port = 0
    if not 0 < port < 65536:
        raise MailError("The port %r is not a port number." % port_text)
    message = build_message(sender, recipient, subject, body, attachments)
    send(server, port, ssl_flag == "Y", login, recipient, password, message)


if __name__ == "__main__":
    try:
        main(sys.argv)
    except MailError as error:
        print(error, file=sys.stderr)
        sys.exit(1)
    except smtplib.SMTPAuthenticationError as error:
        print("The server refused the login: %s" % error, file=sys.stderr)
        sys.exit(1)
    except (smtplib.SMTPException, OSError, ssl.SSLError, ValueError) as error:
        print("Could not send the e-mail: %s" % error, file=sys.stderr)
        sys.exit(1)
    except Exception as error:  # anything else is a failed e-mail as well, never a trace
        print("Could not send the e-mail: %r" % error, file=sys.stderr)
        sys.exit(1)
    sys.exit(0)
