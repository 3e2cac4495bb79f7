#pragma once
// The design window's pictures and tooltips.
//
// The sixteen tool buttons show their kind as the card draws it: the shape, line, text and
// signature objects paint themselves into the icon, the barcode tool shows bars of our
// Code 128 encoder; only the arrow and the picture frames are drawn here.
//
// Every other control takes its look from one table, keyed by object name: the icon
// theme's name for it, our own painter used where the theme has none, the tooltip, the
// text added to the tooltip while the control is disabled, and (for toolbar buttons) the
// toolbar row and group it stands in. A button that another part of the window adds gets
// its look by adding one row; rows whose control does not exist are skipped.

#include <QIcon>
#include <QList>
#include <QString>

#include <vector>

class QImage;
class QMainWindow;
class QPainter;
class QRectF;
class QToolBar;
class QWidget;

namespace window_icons {

// Draws a command's picture in a square, scaled from a 24 x 24 design.
using Icon_Painter = void (*)(QPainter& painter);

struct Control_Look {
  const char* object_name;
  const char* theme_icon;    // freedesktop icon name; nullptr: only our painter
  Icon_Painter painter;      // our own drawing; nullptr: no icon (labels, sidebar controls)
  const char* tooltip;       // nullptr: the control's own tooltip stays
  const char* why_disabled;  // added to the tooltip while the control is disabled
  int bar = -1;              // toolbar row (0 or 1); -1: not a toolbar button
  int group = 0;             // toolbar group; a separator stands between groups
};

// The table; tool buttons, toolbar commands and sidebar controls.
const std::vector<Control_Look>& Control_Looks();
const Control_Look* Find_Look(const QString& object_name);

// A tool's picture (tools 0..15 in palette order) on a transparent square of the logical
// size at the device pixel ratio. Shape, line, text, barcode, signature and fingerprint
// are drawn by the painters of their objects; an unknown tool draws nothing.
QImage Tool_Picture(int tool, int logical_size, qreal device_pixel_ratio);
// The tool's picture at the usual sizes, for ratio 1, 2 and the one given.
QIcon Tool_Icon(int tool, qreal device_pixel_ratio);

// A command's icon: the theme's when it has one, else our painter's at the usual sizes.
// Null when the row has neither.
QIcon Command_Icon(const Control_Look& look, qreal device_pixel_ratio);
// Our painter's picture alone (what the theme's icon falls back to).
QIcon Painted_Icon(Icon_Painter painter, qreal device_pixel_ratio);

// The tooltip a control of the row shows, enabled or not.
QString Tooltip_For(const Control_Look& look, bool enabled);

// Makes the theme's icons findable where the desktop names no theme of its own: the data
// folders' "icons" folders are searched, and "Adwaita" is used when it is installed.
void Use_Installed_Icon_Theme();

// Gives every widget under the window that has a row its tooltip (kept in step with its
// enabled state) and, for buttons, its icon.
void Apply_Looks(QWidget* window);

// Spreads the window's toolbar buttons over two rows by the table's rows and groups,
// separators between groups, icons with their text under them. Buttons without a row stay
// beside the button they followed.
void Arrange_Toolbars(QMainWindow* window, QToolBar* first);

}  // namespace window_icons
