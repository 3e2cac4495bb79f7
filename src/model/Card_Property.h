#pragma once
// The settings of one card side: border, fill, opacity, identity, size and common text
// colour and font. A plain value holder; the design window owns one for each side.

#include "model/CRDColor.h"
#include "model/Picture.h"

#include <QFont>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QStringList>

struct Card_Property {
  Card_Property();  // the defaults below

  bool Card_border_chk = false;
  bool Card_fill_chk = false;
  CRDColor Card_bordr_clr;       // black
  CRDColor Card_fill_clr;        // white
  CRDColor Card_fill_Grd_1_clr;  // white
  CRDColor Card_fill_Grd_2_clr;  // white
  CRDColor Card_hatch_bk_clr;    // white
  int Card_bor_Stepper = 1;      // border width in points
  int Card_grad_Stepper = 0;     // gradient angle in degrees
  int Card_Cat_index = 0;
  float Card_alpha_Stepper = 100.0f;  // background picture opacity; 100 draws like 1
  QString Card_border_style;          // "S", "DA", "DO", "DD", "DDD"
  QString Card_fill_style;            // "S", "G", "H", "I"
  QString Card_hatch_style;           // hatch pattern name in "Fill_Style_Image"
  QString Card_Side;                  // "2"
  QString Card_Side_Name;             // "F" or "B"
  QString Card_Shape;                 // "R", "RR", "E"
  QString Card_Name;                  // "Untitled"
  QString Card_Preset;                // "Horizontal"
  QString Card_Category;              // "PVC Card"
  QString Card_Sub_Category;          // "CR80-Credit Card Size"
  QString Card_Create_Mode;           // "W"
  QString Card_BG_Image_Path;
  QString Card_BG_Image_Layout;  // "Stretch" or "Tile"
  Picture Card_BG_Image;
  QPointF Card_Location;
  QSizeF Card_Size;           // points
  CRDColor Card_Content_clr;  // black
  QFont Card_Content_font;    // Text_Ctrl_Font at 14 points, taken at creation
};

// The names of the card outlines, by the outline number (0 rectangle, 1 rounded rectangle,
// 2 ellipse), as every window that offers them shows them.
const QStringList& Card_Outline_Names();
