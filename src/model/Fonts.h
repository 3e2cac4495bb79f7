#pragma once
// Fonts of the design keep the name they were given (a family name such as "Times New
// Roman" or a PostScript name such as "TimesNewRomanPS-ItalicMT") and their size in
// points. Drawing resolves that name to an installed face.

#include <QFont>
#include <QString>

// A font with the name kept as given, at the size in points.
QFont Make_Font(const QString& name, double points);

// The name the font was given.
inline QString Font_Name(const QFont& font) { return font.family(); }

// The name to store the font under: the name it was given, with "-Bold", "-Italic" or
// "-BoldItalic" added when the font is bold or italic and the name does not say so
// already (a font dialog's bold face of "DejaVu Serif" is stored as "DejaVu Serif-Bold"),
// so that the style comes back with the name.
QString Font_Stored_Name(const QFont& font);

// The installed face to draw a design font with: PostScript names are split into
// family and style (as is a family name with a style added by Font_Stored_Name), and the classic families map to their metric-compatible faces
// ("Times New Roman" -> "Liberation Serif", "Arial"/"Helvetica" -> "Liberation Sans",
// "Courier New"/"Courier" -> "Liberation Mono"). Size and other settings are kept.
QFont Drawing_Font(const QFont& font);

// The installed face a design font draws with (Drawing_Font), named as the font dialog
// names it: its family and its style, "Liberation Serif Bold Italic" for the design font
// "TimesNewRomanPS-BoldItalicMT" as for that face chosen in the dialog. Needs the GUI
// application (it asks the font database which face answers).
QString Font_Face_Name(const QFont& font);
// "%@ ( %0.2f )": Font_Face_Name and the point size with two decimals, the label of every
// font value (sidebar, text panel, barcode designer).
QString Font_Value_Label(const QFont& font);
