#pragma once
// Plain text from a rich text (RTF) file, without any GUI: the text of the document body
// with paragraph and line breaks as "\n" and tabs as "\t".
//
// Understood: groups; control words and symbols; the document code page (\ansi, \mac, \pc,
// \pca, \ansicpgN) and the fonts' character sets (\fcharsetN), through which \'hh bytes and
// 8-bit text are decoded; \uN with its fallback skipped by \ucN; \par, \line, \sect, \page,
// \row, a backslash before a line break as line breaks, \tab and \cell as tabs; the common
// typographic symbols. Ignorable destinations (\*) and the font, colour, style, info,
// picture, header/footer and other non-body destinations are skipped; \binN data is stepped
// over.
//
// The reader refuses (no text) data that does not start with "{\rtf", whose groups do not
// close, that nests deeper than Rtf_Max_Depth, that is larger than Rtf_Max_Bytes, or whose
// \uN leave a surrogate unpaired. Code pages share a decoder per encoding, so the decoders
// stay few however many code pages a file names.

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

constexpr int Rtf_Max_Depth = 256;
constexpr qsizetype Rtf_Max_Bytes = qsizetype(256) * 1024 * 1024;

std::optional<QString> Rtf_To_Text(const QByteArray& rtf);

// The same text a piece at a time, for a reader that stops at a limit before the rest is
// made: `sink` takes each piece in order and answers whether to go on. Stopped when it
// answered false; what it took before a refusal or a stop is no document's text.
enum class Rtf_Result { Text, Refused, Stopped };
using Rtf_Text_Sink = std::function<bool(QStringView)>;
Rtf_Result Rtf_To_Text(const QByteArray& rtf, const Rtf_Text_Sink& sink);
