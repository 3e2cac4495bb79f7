// Rich text as the import wizard reads a .rtf file: the plain text of the document body.

#include "Fuzz_Support.h"
#include "series/Rtf_Reader.h"

#include <cstdlib>

QList<QByteArray> Fuzz_Seeds() {
  // Small hand-made documents that reach each part of the reader.
  return {
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Helvetica;}{\\f1\\fcharset204 X;}}"
      "{\\colortbl;\\red255\\green0\\blue0;}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}"
      "\\f0 caf\\'e9\\par \\f1 \\'c0\\line a\\tab b\\cell c\\row\\sect\\page}",
      "{\\rtf1\\uc1 \\u26085?\\u26412\\'3f!\\uc0\\u-10180\\u-8311\\uc2\\u-3913??x\\~\\-\\_"
      "\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}",
      "{\\rtf1\\mac{\\*\\unknown x}{\\pict\\pngblip 0102}{\\header h}{\\footer f}"
      "{\\field{\\*\\fldinst HYPERLINK}{\\fldrslt link}}{\\*\\blip\\bin3 }}}}a\\\nb\\{\\}\\\\}",
      "{\\rtf1\\pc a{\\pca b{\\ansicpg1251 \\'c0}}}",
  };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                   qsizetype(size));
  // Text that is read is whole Unicode: a \uN surrogate without its partner is refused.
  if (const std::optional<QString> text = Rtf_To_Text(bytes); text && !text->isValidUtf16())
    std::abort();
  return 0;
}
