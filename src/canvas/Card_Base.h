#pragma once
// The card base: what every picture of a card side starts with. The card's outline is
// filled white, then with the side's fill (plain colour, gradient, hatch pattern or
// background picture), then stroked with the side's border. The canvas paints it first
// in every redraw and the card renderer first in every card picture, so the base looks
// the same on screen, in exported pictures, in print and in mail.

#include "model/Card_Property.h"

#include <QPainterPath>
#include <QRectF>
#include <QString>

class QPainter;

// The outline on a rectangle: 1 a rounded rectangle with 10-point corners, 2 the
// inscribed ellipse, any other value the rectangle itself.
QPainterPath Card_Outline(const QRectF& rect, int card_shape);

// Paints the base of one side on the rectangle, in points, from explicit inputs (safe on
// any thread). A stretched background picture fills stretch_area (the canvas bounds)
// inside the outline; a tiled one repeats inside the outline. Hatch
// patterns are read from resource_path/Fill_Style_Image. A failure is logged and ends
// the painting where it happened (the border is then not drawn).
void Paint_Card_Base(QPainter& painter, const QRectF& rect, const Card_Property& side,
                     int card_shape, const QRectF& stretch_area, const QString& resource_path);

// The base of the current side as the design state describes it: Card_Front_Or_Back
// picks the window's front or back settings, Card_Shape the outline, the front canvas
// bounds the area of a stretched picture. Without a window the side's defaults apply.
void Card_Base_Drawing(QPainter& painter, const QRectF& rect);

// Makes the picture file the background of the side: fill on, style "I", the path and
// the picture itself (which stays a null picture when the file cannot be read). An empty
// path changes nothing and answers false; otherwise answers whether the picture was read.
bool Apply_Card_BG_Image(Card_Property& side, const QString& path);

// The window's commands: show the path in the card panel, apply it to the front (back)
// side's settings whichever side is current, and rebuild the sidebar with nothing
// selected. An empty path only empties the panel's path.
void set_Front_BG_Image(const QString& path);
void set_Back_BG_Image(const QString& path);
