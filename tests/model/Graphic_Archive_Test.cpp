#include "model/Graphic_Archive.h"
#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDLine.h"
#include "model/CRDSignature.h"
#include "model/CRDText.h"
#include "model/Fonts.h"
#include "model/Graphic_Kinds.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"
#include "support/Memory_Limit.h"
#include "support/Sample_Graphics.h"
#include "support/Test_Support.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstring>
#include <functional>

using keyed_archive::Object;
using plist::Array;
using plist::Dictionary;
using plist::Uid;
using plist::Value;
using R = CRDGraphic_Record;
using test_support::Fill;
using test_support::Filled;
using test_support::Sample_Picture;
using test_support::Sample_Styled_Text;

namespace {

// The archive keys in the order they are written, as the file format fixes them.
const QStringList Expected_Keys = {"_bounds",
                                   "ctrl_is_locked",
                                   "_isDrawingFill",
                                   "_fillColor",
                                   "_isDrawingStroke",
                                   "_strokeColor",
                                   "_strokeWidth",
                                   "_stroke_border_type",
                                   "_fill_type",
                                   "_fill_Grad_clr1",
                                   "_fill_Grad_clr2",
                                   "_fill_grad_angle",
                                   "_fill_htch_clr",
                                   "_fill_hatch_type",
                                   "_isFlippedHorizontally",
                                   "_isFlippedVertically",
                                   "invert_clr",
                                   "gray_Scale",
                                   "Sepia",
                                   "img_trnsp_val",
                                   "hue_val",
                                   "sat_val",
                                   "brt_val",
                                   "con_val",
                                   "srp_val",
                                   "ev_val",
                                   "blr_val",
                                   "data_source_type",
                                   "rotate_image",
                                   "_file_path",
                                   "sign_or_fingureprint",
                                   "batch_list_name",
                                   "batch_list_index",
                                   "_line_ori",
                                   "_line_cap_style",
                                   "alpha_val",
                                   "alpha_val_stroke",
                                   "text_ctrl_font",
                                   "txt_clr",
                                   "_Text_contents",
                                   "_shape_type",
                                   "cor_rad_val_val",
                                   "_barcode_image",
                                   "linear_or_2d",
                                   "barcode_font_index",
                                   "linear_font_val",
                                   "two_d_font_val",
                                   "header_val",
                                   "footer_val",
                                   "show_hide_hdr",
                                   "show_hide_ftr",
                                   "show_hide_val",
                                   "show_val_on_top",
                                   "align_hdr_index",
                                   "align_ftr_index",
                                   "linear_height_val",
                                   "linear_width_val",
                                   "qr_size_val",
                                   "qr_version_index",
                                   "qr_ec_index",
                                   "pdf_hgt_val",
                                   "pdf_wdt_val",
                                   "pdf_ec_val",
                                   "dm_module_val",
                                   "dm_format_index",
                                   "dm_encoding_index",
                                   "hdr_margin_val",
                                   "ftr_margin_val",
                                   "val_margin_val",
                                   "TB_marging_val",
                                   "LR_margin_val",
                                   "value_font_val",
                                   "header_font_val",
                                   "footer_font_val",
                                   "barcode_hdr_clr_val",
                                   "barcode_ftr_clr_val",
                                   "barcode_val_clr_val",
                                   "barcode_back_clr_val",
                                   "barcode_clr_val",
                                   "dpi_val_index",
                                   "dpi_custom_val",
                                   "barcode_unit_val",
                                   "text_alignmnet",
                                   "text_transfrom_case",
                                   "text_kerning",
                                   "print_object",
                                   "control_ID",
                                   "excel_binding",
                                   "excel_col_indx",
                                   "Text_Value",
                                   "ctrl_is_visible",
                                   "double_star_type",
                                   "polygon_type"};

// ---- Archives as property lists, for looking inside and for hand-made variants ---------

struct Tree {
  Value top;
  Array& objects() { return *top.dictionary()->find("$objects")->array(); }
  Dictionary& root() { return *objects()[1].dictionary(); }
  // The plain value a key of the root refers to.
  const Value& referenced(const QString& key) {
    return objects()[size_t(root().find(key)->uid()->value)];
  }
  QByteArray bytes() const { return plist::Write(top, plist::Format::Binary); }
};

Tree Tree_Of(const QByteArray& archive) {
  std::optional<Value> top = plist::Read(archive);
  EXPECT_TRUE(top);
  return Tree{top ? *top : Value()};
}

Dictionary Without(const Dictionary& d, const QStringList& keys) {
  Dictionary out;
  for (const auto& entry : d.entries())
    if (!keys.contains(entry.key)) out.insert(entry.key, entry.value);
  return out;
}

class Graphic_Archive : public test_support::Design_Test {};

TEST_F(Graphic_Archive, WritesTheKeysInTheirOrderUnderTheKindsClassName) {
  auto line = std::static_pointer_cast<CRDLine>(Filled("CRDLine"));
  Tree tree = Tree_Of(Archive_Graphic(*line));
  const Dictionary& top = *tree.top.dictionary();
  EXPECT_EQ(*top.find("$archiver"), Value("NSKeyedArchiver"));
  EXPECT_EQ(*top.find("$version"), Value(100000));
  EXPECT_EQ(*top.find("$top"), Value(Dictionary{{"root", Uid{1}}}));

  QStringList keys;
  for (const auto& entry : tree.root().entries()) keys << entry.key;
  EXPECT_EQ(keys,
            (QStringList{"$class"} + Expected_Keys + QStringList{"_pointsRight", "_pointsDown"}));
  EXPECT_EQ(Graphic_Archive_Keys(), Expected_Keys);
  EXPECT_EQ(tree.referenced("$class"),
            Value(Dictionary{{"$classname", "CRDLine"},
                             {"$classes", Array{"CRDLine", "CRDGraphic", "NSObject"}}}));
  // Double fields go through a 32-bit real.
  EXPECT_EQ(*tree.root().find("_strokeWidth"), Value(0.10000000149011612));
  EXPECT_EQ(tree.referenced("_bounds"), Value("{{10.25, 20.5}, {100.125, 50.0625}}"));

  // The other kinds carry no direction keys.
  Tree shape = Tree_Of(Archive_Graphic(*Filled("Shape_Control")));
  EXPECT_EQ(int(shape.root().size()), 1 + Expected_Keys.size());
}

// Each scalar and text field on its own in a bare graphic: the archive holds its value
// under the field's own name and nothing under any other.
TEST_F(Graphic_Archive, StoresEachFieldUnderItsOwnName) {
  struct Row {
    QString key;
    std::function<void(R&)> set;
    Value stored;  // a text field's value is the string its reference leads to
  };
#define ROW(field, value, stored)                         \
  Row {                                                   \
#field, [](R & r) { r.field = value; }, Value(stored) \
  }
  const std::vector<Row> rows = {
      ROW(ctrl_is_locked, true, true),
      ROW(_isDrawingFill, true, true),
      ROW(_isDrawingStroke, true, true),
      ROW(_isFlippedHorizontally, true, true),
      ROW(_isFlippedVertically, true, true),
      ROW(invert_clr, true, true),
      ROW(gray_Scale, true, true),
      ROW(Sepia, true, true),
      ROW(excel_binding, true, true),
      ROW(ctrl_is_visible, true, true),
      ROW(_strokeWidth, 2.7, double(2.7f)),
      ROW(_fill_grad_angle, 33.3, double(33.3f)),
      ROW(img_trnsp_val, 1.1f, double(1.1f)),
      ROW(hue_val, 1.2f, double(1.2f)),
      ROW(sat_val, 1.3f, double(1.3f)),
      ROW(brt_val, 1.4f, double(1.4f)),
      ROW(con_val, 1.5f, double(1.5f)),
      ROW(srp_val, 1.6f, double(1.6f)),
      ROW(ev_val, 1.7f, double(1.7f)),
      ROW(blr_val, 1.8f, double(1.8f)),
      ROW(rotate_image, 1.9f, double(1.9f)),
      ROW(cor_rad_val_val, 2.1f, double(2.1f)),
      ROW(alpha_val, 2.2f, double(2.2f)),
      ROW(alpha_val_stroke, 2.3f, double(2.3f)),
      ROW(linear_height_val, 2.4f, double(2.4f)),
      ROW(linear_width_val, 2.5f, double(2.5f)),
      ROW(hdr_margin_val, 2.6f, double(2.6f)),
      ROW(ftr_margin_val, 2.7f, double(2.7f)),
      ROW(val_margin_val, 2.8f, double(2.8f)),
      ROW(TB_marging_val, 2.9f, double(2.9f)),
      ROW(LR_margin_val, 3.1f, double(3.1f)),
      ROW(text_kerning, 3.2f, double(3.2f)),
      ROW(data_source_type, 11, 11),
      ROW(batch_list_index, 12, 12),
      ROW(_line_ori, 13, 13),
      ROW(_line_cap_style, 14, 14),
      ROW(linear_or_2d, 15, 15),
      ROW(barcode_font_index, 16, 16),
      ROW(show_hide_hdr, 17, 17),
      ROW(show_hide_ftr, 18, 18),
      ROW(show_hide_val, 19, 19),
      ROW(show_val_on_top, 20, 20),
      ROW(align_hdr_index, 21, 21),
      ROW(align_ftr_index, 22, 22),
      ROW(qr_size_val, 23, 23),
      ROW(qr_version_index, 24, 24),
      ROW(qr_ec_index, 25, 25),
      ROW(pdf_hgt_val, 26, 26),
      ROW(pdf_wdt_val, 27, 27),
      ROW(pdf_ec_val, 28, 28),
      ROW(dm_module_val, 29, 29),
      ROW(dm_format_index, 30, 30),
      ROW(dm_encoding_index, 31, 31),
      ROW(dpi_val_index, 32, 32),
      ROW(barcode_unit_val, 33, 33),
      ROW(text_alignmnet, 34, 34),
      ROW(text_transfrom_case, 35, 35),
      ROW(print_object, 36, 36),
      ROW(excel_col_indx, 37, 37),
      ROW(double_star_type, 38, 38),
      ROW(polygon_type, -39, -39),
      ROW(_stroke_border_type, "DA", "DA"),
      ROW(_fill_type, "H", "H"),
      ROW(_fill_hatch_type, "Hatch", "Hatch"),
      ROW(_file_path, "/a.png", "/a.png"),
      ROW(sign_or_fingureprint, "F", "F"),
      ROW(batch_list_name, "Series", "Series"),
      ROW(_shape_type, "P", "P"),
      ROW(linear_font_val, "987", "987"),
      ROW(two_d_font_val, "qr", "qr"),
      ROW(header_val, "Head", "Head"),
      ROW(footer_val, "Foot", "Foot"),
      ROW(dpi_custom_val, "300", "300"),
      ROW(control_ID, "Fup_Name", "Fup_Name"),
      ROW(Text_Value, "Hello", "Hello"),
  };
#undef ROW
  for (const Row& row : rows) {
    Shape_Control g{CRDGraphic::Bare{}};
    row.set(g);
    Tree tree = Tree_Of(Archive_Graphic(g));
    for (const Row& other : rows) {
      const Value& raw = *tree.root().find(other.key);
      const Value& value = raw.uid() ? tree.referenced(other.key) : raw;
      if (other.key == row.key) {
        EXPECT_EQ(value, row.stored) << row.key.toStdString();
      } else {
        // Untouched fields hold zero, NO or the null object.
        const bool zero = value == Value(false) || value == Value(0) || value == Value(0.0) ||
                          value == Value("$null");
        EXPECT_TRUE(zero) << row.key.toStdString() << " leaked into " << other.key.toStdString();
      }
    }
  }
}

TEST_F(Graphic_Archive, EveryKindComesBackWhole) {
  for (const QString& kind : Graphic_Class_Names()) {
    SCOPED_TRACE(kind.toStdString());
    const std::shared_ptr<CRDGraphic> original = Filled(kind);
    const QByteArray archive = Archive_Graphic(*original);
    const std::shared_ptr<CRDGraphic> back = Unarchive_Graphic(archive);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->className(), kind);
    // Every field survives: the restored graphic archives to the very same bytes.
    EXPECT_EQ(Archive_Graphic(*back), archive);

    EXPECT_EQ(back->_bounds, original->_bounds);
    EXPECT_EQ(back->_strokeWidth, 0.10000000149011612);  // through a 32-bit real
    EXPECT_EQ(back->_fill_grad_angle, double(33.3f));
    EXPECT_EQ(back->_fillColor, original->_fillColor);
    EXPECT_EQ(back->_strokeColor, original->_strokeColor);         // device white, alpha 100
    EXPECT_EQ(back->_fill_Grad_clr2, CRDColor::white(2.0 / 3.0));  // not cut to fewer digits
    EXPECT_EQ(Font_Name(back->header_font_val), "Helvetica");
    EXPECT_EQ(back->header_font_val.pointSizeF(), 11.5);
    ASSERT_TRUE(back->_Text_contents);
    EXPECT_TRUE(*back->_Text_contents == Sample_Styled_Text());
    EXPECT_EQ(back->_barcode_image.size(), QSizeF(6, 4));
    EXPECT_EQ(back->_barcode_image.image().convertToFormat(QImage::Format_ARGB32),
              Sample_Picture().image());
    EXPECT_EQ(back->rotate_image, 45.9f);
    EXPECT_EQ(back->polygon_type, original->polygon_type);
  }
}

TEST_F(Graphic_Archive, ANewShapeKeepsItsDefaults) {
  Shape_Control shape;
  shape._strokeWidth = 0.1;
  const std::shared_ptr<CRDGraphic> back = Unarchive_Graphic(Archive_Graphic(shape));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->_strokeWidth, 0.10000000149011612);
  EXPECT_EQ(back->header_val, "HEADER");
  EXPECT_EQ(back->qr_size_val, 60);
  EXPECT_EQ(back->pdf_ec_val, 2);
  EXPECT_FLOAT_EQ(back->TB_marging_val, 0.1f);
  EXPECT_EQ(Font_Name(back->value_font_val), "Times New Roman");
  EXPECT_EQ(back->value_font_val.pointSizeF(), 10.0);
  EXPECT_EQ(back->_fillColor, CRDColor::whiteColor());
  EXPECT_EQ(back->_file_path, Resource_Path + "/no.png");
  EXPECT_EQ(back->_fill_hatch_type, "");
  EXPECT_FALSE(back->_fill_hatch_type.isNull());  // an empty text stays a text
  EXPECT_FALSE(back->_Text_contents);             // never made: none
  EXPECT_TRUE(back->_barcode_image.isNull());
  EXPECT_EQ(back->double_star_type, 1);
  EXPECT_TRUE(back->ctrl_is_visible);
}

TEST_F(Graphic_Archive, MissingOrMistypedKeysLeaveTheirFieldsAtZero) {
  const QByteArray archive = Archive_Graphic(Shape_Control());
  const struct {
    const char* key;
    Value replacement;  // none: the key is removed
    std::function<bool(const CRDGraphic&)> is_zero;
  } cases[] = {
      {"double_star_type", {}, [](const CRDGraphic& g) { return g.double_star_type == 0; }},
      {"polygon_type", {}, [](const CRDGraphic& g) { return g.polygon_type == 0; }},
      {"ctrl_is_visible", {}, [](const CRDGraphic& g) { return !g.ctrl_is_visible; }},
      {"_fillColor", {}, [](const CRDGraphic& g) { return !g._fillColor.isValid(); }},
      {"text_ctrl_font",
       {},
       [](const CRDGraphic& g) { return g.text_ctrl_font.resolveMask() == 0; }},
      {"_bounds", "not a rectangle", [](const CRDGraphic& g) { return g._bounds == QRectF(); }},
      {"qr_size_val", "sixty", [](const CRDGraphic& g) { return g.qr_size_val == 0; }},
      {"qr_size_val", qint64(1) << 33, [](const CRDGraphic& g) { return g.qr_size_val == 0; }},
      {"ctrl_is_visible", "YES", [](const CRDGraphic& g) { return !g.ctrl_is_visible; }},
      {"_fill_type", 7, [](const CRDGraphic& g) { return g._fill_type.isNull(); }},
      {"_fillColor", Uid{1}, [](const CRDGraphic& g) { return !g._fillColor.isValid(); }},
      {"header_font_val", Uid{1},
       [](const CRDGraphic& g) { return g.header_font_val.resolveMask() == 0; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    Tree tree = Tree_Of(archive);
    if (c.replacement.isNone())
      tree.root() = Without(tree.root(), {c.key});
    else
      tree.root().insert(c.key, c.replacement);
    const std::shared_ptr<CRDGraphic> g = Unarchive_Graphic(tree.bytes());
    ASSERT_TRUE(g);
    EXPECT_TRUE(c.is_zero(*g));
    // No default is filled in for a missing key, and the other keys are still read.
    EXPECT_EQ(g->header_val, "HEADER");
    EXPECT_EQ(g->_shape_type, "R");
  }
}

TEST_F(Graphic_Archive, TheClassNameDecidesTheKind) {
  CRDSignature fingerprint;
  fingerprint.Set_Sign_Or_FP("F");
  const QByteArray archive = Archive_Graphic(fingerprint);
  std::shared_ptr<CRDGraphic> back = Unarchive_Graphic(archive);
  ASSERT_TRUE(back);
  EXPECT_TRUE(std::dynamic_pointer_cast<CRDSignature>(back));
  EXPECT_EQ(back->Sign_Or_FP_Val(), "F");

  const struct {
    const char* class_name;
    bool restored;
  } cases[] = {
      {"CRDBarcode", true}, {"Shape_Control", true}, {"CRDGraphic", false},
      {"NSObject", false},  {"QObject", false},      {"", false},
  };
  for (const auto& c : cases) {
    Tree tree = Tree_Of(archive);
    Value& description = tree.objects()[size_t(tree.root().find("$class")->uid()->value)];
    description.dictionary()->insert("$classname", c.class_name);
    back = Unarchive_Graphic(tree.bytes());
    EXPECT_EQ(bool(back), c.restored) << c.class_name;
    if (back) {
      EXPECT_EQ(back->className(), c.class_name);
      EXPECT_EQ(back->sign_or_fingureprint, "F");
    }
  }
}

TEST_F(Graphic_Archive, ALineKeepsItsDirection) {
  for (bool right : {false, true})
    for (bool down : {false, true}) {
      CRDLine line;
      line._pointsRight = right;
      line._pointsDown = down;
      auto back = std::dynamic_pointer_cast<CRDLine>(Unarchive_Graphic(Archive_Graphic(line)));
      ASSERT_TRUE(back);
      EXPECT_EQ(back->_pointsRight, right);
      EXPECT_EQ(back->_pointsDown, down);
    }
  // An archive without the direction (as older files are) reads as NO, NO.
  CRDLine line;
  line._pointsRight = line._pointsDown = true;
  Tree tree = Tree_Of(Archive_Graphic(line));
  tree.root() = Without(tree.root(), {"_pointsRight", "_pointsDown"});
  auto back = std::dynamic_pointer_cast<CRDLine>(Unarchive_Graphic(tree.bytes()));
  ASSERT_TRUE(back);
  EXPECT_FALSE(back->_pointsRight);
  EXPECT_FALSE(back->_pointsDown);
}

// ---- Value objects ----------------------------------------------------------------------

// An archive whose root is a hand-made object of a class.
QByteArray Object_Archive(const QString& class_name, Dictionary keys, Array extra = {}) {
  keys.insert("$class", Uid{2});
  Array objects{
      "$null", keys,
      Dictionary{{"$classname", class_name}, {"$classes", Array{class_name, "NSObject"}}}};
  for (Value& v : extra) objects.push_back(std::move(v));
  return plist::Write(Dictionary{{"$archiver", "NSKeyedArchiver"},
                                 {"$version", 100000},
                                 {"$top", Dictionary{{"root", Uid{1}}}},
                                 {"$objects", objects}},
                      plist::Format::Binary);
}

TEST_F(Graphic_Archive, ColourArchives) {
  using S = CRDColor::Space;
  for (const CRDColor& color :
       {CRDColor::rgb(1, 0, 0.5), CRDColor::rgb(0.1, 0.2, 0.3, 0.5, S::Device_RGB),
        CRDColor::white(2.0 / 3.0), CRDColor::white(0.5, 100, S::Device_White), CRDColor()}) {
    const std::optional<CRDColor> back = Unarchive_Color(Archive_Color(color));
    ASSERT_TRUE(back) << color.debugText().toStdString();
    EXPECT_EQ(*back, color) << color.debugText().toStdString();
  }
  // The components as the desktop writes them: text ended by NUL, alpha 1 left out.
  Tree tree = Tree_Of(Archive_Color(CRDColor::rgb(1, 0, 0.5)));
  EXPECT_EQ(*tree.root().find("NSColorSpace"), Value(1));
  EXPECT_EQ(*tree.root().find("NSRGB"), Value(QByteArray("1 0 0.5\0", 8)));
  tree = Tree_Of(Archive_Color(CRDColor::white(0.25, 0.5, S::Device_White)));
  EXPECT_EQ(*tree.root().find("NSColorSpace"), Value(4));
  EXPECT_EQ(*tree.root().find("NSWhite"), Value(QByteArray("0.25 0.5\0", 9)));

  // Forms other writers use.
  const Dictionary fallback{
      {"$class", Uid{2}}, {"NSColorSpace", 1}, {"NSRGB", QByteArray("0 0 1\0", 6)}};
  const struct {
    const char* name;
    QByteArray archive;
    std::optional<CRDColor> color;
  } cases[] = {
      {"RGB with alpha",
       Object_Archive("NSColor",
                      {{"NSColorSpace", 2}, {"NSRGB", QByteArray("0.2 0.4 0.6 0.8\0", 16)}}),
       CRDColor::rgb(0.2, 0.4, 0.6, 0.8, S::Device_RGB)},
      {"white",
       Object_Archive("NSColor", {{"NSColorSpace", 3}, {"NSWhite", QByteArray("0.5\0", 4)}}),
       CRDColor::white(0.5)},
      {"CMYK",
       Object_Archive("NSColor", {{"NSColorSpace", 5}, {"NSCMYK", QByteArray("0 1 1 0\0", 8)}}),
       CRDColor::rgb(1, 0, 0, 1, S::Device_RGB)},
      {"named, with its fallback",
       Object_Archive("NSColor", {{"NSColorSpace", 6}, {"NSColor", Uid{3}}}, {fallback}),
       CRDColor::rgb(0, 0, 1)},
      {"components only",
       Object_Archive("NSColor",
                      {{"NSColorSpace", 1}, {"NSComponents", QByteArray("0.5 0.5 0.5 1", 13)}}),
       CRDColor::rgb(0.5, 0.5, 0.5)},
      {"named colour referring to itself",
       Object_Archive("NSColor", {{"NSColorSpace", 6}, {"NSColor", Uid{1}}}), std::nullopt},
      {"wrong number of components",
       Object_Archive("NSColor", {{"NSColorSpace", 1}, {"NSRGB", QByteArray("0.5 0.5\0", 8)}}),
       std::nullopt},
      {"a font", Archive_Font(Make_Font("Arial", 12)), std::nullopt},
      {"not an archive", QByteArray("0 0 0"), std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(Unarchive_Color(c.archive), c.color) << c.name;
}

TEST_F(Graphic_Archive, FontArchives) {
  const QFont font = Make_Font("TimesNewRomanPS-ItalicMT", 14);
  Tree tree = Tree_Of(Archive_Font(font));
  EXPECT_EQ(tree.referenced("NSName"), Value("TimesNewRomanPS-ItalicMT"));
  EXPECT_EQ(*tree.root().find("NSSize"), Value(14.0));
  EXPECT_EQ(*tree.root().find("NSfFlags"), Value(16));

  const std::optional<QFont> back = Unarchive_Font(Archive_Font(font));
  ASSERT_TRUE(back);
  EXPECT_EQ(Font_Name(*back), "TimesNewRomanPS-ItalicMT");
  EXPECT_EQ(back->pointSizeF(), 14.0);

  // A font never set archives as the null object and comes back unset.
  const std::optional<QFont> unset = Unarchive_Font(Archive_Font(QFont()));
  ASSERT_TRUE(unset);
  EXPECT_EQ(unset->resolveMask(), 0u);

  // A font without a size gets the desktop's 12 points; one without a name is no font.
  const std::optional<QFont> sizeless =
      Unarchive_Font(Object_Archive("NSFont", {{"NSName", Uid{3}}}, {"Georgia"}));
  ASSERT_TRUE(sizeless);
  EXPECT_EQ(sizeless->pointSizeF(), 12.0);
  EXPECT_FALSE(Unarchive_Font(Object_Archive("NSFont", {{"NSSize", 12.0}})));
  EXPECT_FALSE(Unarchive_Font(Archive_Color(CRDColor::blackColor())));
}

TEST_F(Graphic_Archive, StyledTextRuns) {
  CRDText text{CRDGraphic::Bare{}};
  text._Text_contents = std::make_shared<StyledText>(Sample_Styled_Text());
  Tree tree = Tree_Of(Archive_Graphic(text));
  const Value& storage = tree.referenced("_Text_contents");
  const Dictionary& keys = *storage.dictionary();
  const Array& objects = tree.objects();
  auto at = [&](const QString& key) -> const Value& {
    return objects[size_t(keys.find(key)->uid()->value)];
  };
  EXPECT_EQ(at("NSString"), Value("Happy birthday, dear friend"));
  // Three runs of two distinct attribute sets: lengths 5, 17, 5 with indexes 0, 1, 0.
  EXPECT_EQ(at("NSAttributeInfo"), Value(QByteArray::fromHex("050011010500")));
  EXPECT_EQ(at("NSAttributes").dictionary()->find("NS.objects")->array()->size(), 2u);
  EXPECT_EQ(at("$class").dictionary()->find("$classes")->array()->front(), Value("NSTextStorage"));

  // One run: a single attribute dictionary and no run list.
  CRDText single{CRDGraphic::Bare{}};
  Text_Attributes black;
  black.foreground = CRDColor::blackColor();
  single._Text_contents = std::make_shared<StyledText>(QString(300, 'x'), black);
  tree = Tree_Of(Archive_Graphic(single));
  EXPECT_FALSE(tree.referenced("_Text_contents").dictionary()->contains("NSAttributeInfo"));
  auto back = Unarchive_Graphic(Archive_Graphic(single));
  ASSERT_TRUE(back && back->_Text_contents);
  EXPECT_TRUE(*back->_Text_contents == *single._Text_contents);

  // A run longer than 127 characters takes two bytes.
  Text_Attributes kerned;
  kerned.kerning = -0.5;
  single._Text_contents->replaceCharacters(QString(300, 'x') + "yz");
  single._Text_contents->setAttributes(300, 2, kerned);
  tree = Tree_Of(Archive_Graphic(single));
  const Value& long_storage = tree.referenced("_Text_contents");
  EXPECT_EQ(
      tree.objects()[size_t(long_storage.dictionary()->find("NSAttributeInfo")->uid()->value)],
      Value(QByteArray::fromHex("ac02000201")));
  back = Unarchive_Graphic(Archive_Graphic(single));
  ASSERT_TRUE(back && back->_Text_contents);
  EXPECT_TRUE(*back->_Text_contents == *single._Text_contents);

  // Damaged run lists are clipped to the text, never trusted.
  const struct {
    const char* name;
    QByteArray info;
  } damaged[] = {
      {"run longer than the text", QByteArray::fromHex("ffffffffffffffff7f00")},
      {"index past the list", QByteArray::fromHex("03ffffffff0f")},
      {"cut in the middle of a number", QByteArray::fromHex("0380")},
      {"many empty runs", QByteArray(100000, '\0')},
  };
  for (const auto& d : damaged) {
    Tree t = Tree_Of(Archive_Graphic(text));
    Value& s = t.objects()[size_t(t.root().find("_Text_contents")->uid()->value)];
    t.objects()[size_t(s.dictionary()->find("NSAttributeInfo")->uid()->value)] = d.info;
    const auto g = Unarchive_Graphic(t.bytes());
    ASSERT_TRUE(g && g->_Text_contents) << d.name;
    EXPECT_EQ(g->_Text_contents->string(), "Happy birthday, dear friend") << d.name;
    int covered = 0;
    for (const auto& run : g->_Text_contents->runs()) covered += run.length;
    EXPECT_EQ(covered, 27) << d.name;
  }
}

// A text of `runs` runs of one character, in `styles` distinct styles taken in turn: each a
// colour, kerning and alignment of its own, all in one font (every style archives its own
// font object, so this is the most an archived style takes).
StyledText Text_Of_Runs(int runs, int styles) {
  std::vector<Text_Attributes> list;
  for (int i = 0; i < styles; ++i) {
    Text_Attributes a;
    a.font = Make_Font("DejaVu Sans", 12);
    a.foreground = CRDColor::rgb(double(i) / styles, 0.5, 1.0 - double(i) / styles);
    a.kerning = i * 0.001;
    a.alignment = i % 5;
    list.push_back(a);
  }
  std::vector<StyledText::Run> run_list;
  run_list.reserve(size_t(runs));
  for (int i = 0; i < runs; ++i) run_list.push_back({i, 1, i % styles});
  std::optional<StyledText> text = StyledText::fromRuns(QString(runs, QLatin1Char('x')), list, run_list);
  EXPECT_TRUE(text);
  return text ? *text : StyledText();
}

// The archive of a text whose run list is replaced by `runs` runs of one character in two
// styles taken in turn (the text as long as they need): made directly, as this program
// never writes such a text.
QByteArray Archive_With_Runs(qint64 runs) {
  CRDText text{CRDGraphic::Bare{}};
  text._Text_contents = std::make_shared<StyledText>(Text_Of_Runs(2, 2));
  Tree t = Tree_Of(Archive_Graphic(text));
  Value& storage = t.objects()[size_t(t.root().find("_Text_contents")->uid()->value)];
  t.objects()[size_t(storage.dictionary()->find("NSString")->uid()->value)] =
      QString(qsizetype(runs), QLatin1Char('x'));
  QByteArray info;
  info.reserve(qsizetype(runs) * 2);
  for (qint64 i = 0; i < runs; ++i) info.append('\x01').append(char(i % 2));
  t.objects()[size_t(storage.dictionary()->find("NSAttributeInfo")->uid()->value)] = info;
  return t.bytes();
}

// A text holds at most Max_Runs runs, each distinct style once. The most a text may hold,
// each run a style of its own, is archived within what the reader takes and comes back
// whole; one run more is refused where it comes in, with the reason.
TEST_F(Graphic_Archive, ATextHoldsAtMostItsRunsAndEachStyleOnce) {
  const int most = StyledText::Max_Runs;
  // Runs alternate between two styles (the last one ten characters long): two styles are
  // held, not one a run.
  std::vector<StyledText::Run> runs;
  for (int i = 0; i < most - 2; ++i) runs.push_back({i, 1, i % 2});
  runs.push_back({most - 2, 10, 0});
  std::optional<StyledText> made =
      StyledText::fromRuns(QString(most + 8, QLatin1Char('x')), Text_Of_Runs(2, 2).styles(), runs);
  ASSERT_TRUE(made);
  StyledText two = *made;
  EXPECT_EQ(two.runs().size(), size_t(most - 1));
  EXPECT_EQ(two.styles().size(), 2u);
  EXPECT_EQ(two.attributes(two.runs()[3]), two.attributesAt(1));
  // A change that would pass the limit changes nothing; one that stays at it is made.
  Text_Attributes third;
  third.kerning = 7;
  const StyledText before = two;
  EXPECT_FALSE(two.setAttributes(most + 3, 1, third));  // inside the long run: two more
  EXPECT_TRUE(two == before);
  EXPECT_TRUE(two.setAttributes(most + 7, 1, third));  // at its end: one more
  EXPECT_EQ(two.runs().size(), size_t(most));
  EXPECT_EQ(two.styles().size(), 3u);
  EXPECT_TRUE(two.setAttributes(1, 1, two.attributesAt(0)));  // joins three runs
  EXPECT_EQ(two.runs().size(), size_t(most - 2));

  // The most a text may hold, every run a style of its own.
  CRDText text{CRDGraphic::Bare{}};
  text._Text_contents = std::make_shared<StyledText>(Text_Of_Runs(most, most));
  qint64 objects = 0;
  const QByteArray archive = Archive_Graphic(text, &objects);
  EXPECT_EQ(Graphic_Archive_Past_Limits(archive, objects), QString());
  QString reason;
  const auto back = Unarchive_Graphic(archive, &reason);
  ASSERT_TRUE(back && back->_Text_contents) << reason.toStdString();
  EXPECT_TRUE(*back->_Text_contents == *text._Text_contents);

  // One run more.
  EXPECT_FALSE(StyledText::fromRuns(QString(most + 1, QLatin1Char('x')),
                                    {Text_Attributes{}, third},
                                    [&] {
                                      std::vector<StyledText::Run> runs;
                                      for (int i = 0; i <= most; ++i) runs.push_back({i, 1, i % 2});
                                      return runs;
                                    }()));
  EXPECT_FALSE(Unarchive_Graphic(Archive_With_Runs(most + 1), &reason));
  EXPECT_EQ(reason.toStdString(),
            "its text has 32,769 runs of styles (stretches of one font and colour), and a text "
            "may hold at most 32,768");
  EXPECT_TRUE(Unarchive_Graphic(Archive_With_Runs(most)));
}

// A text of a million runs (4 MB of archive) is refused before its runs are made, where
// memory is short; a paste leaves that object out and says why, keeping the others.
TEST_F(Graphic_Archive, ATextOfAMillionRunsIsRefusedAtOnce) {
  const QByteArray archive = Archive_With_Runs(1000 * 1000);
  if (test_support::kMemory_Limit_Works) {
    const QString answer = test_support::Run_With_Memory_Limit(256LL << 20, [&] {
      QString reason;
      return Unarchive_Graphic(archive, &reason) ? QStringLiteral("read") : reason;
    });
    EXPECT_EQ(answer.toStdString(),
              "its text has 1,000,000 runs of styles (stretches of one font and colour), and a "
              "text may hold at most 32,768");
  }
  auto shape = std::make_shared<Shape_Control>();
  shape->_shape_type = "C";
  const QByteArray data =
      plist::Write(Array{Archive_Graphic(*shape), archive, Archive_Graphic(*shape)}, plist::Format::Binary);
  Graphic_Read_Budget budget;
  const auto pasted = graphicsWithPasteboardData(data, nullptr, nullptr, &budget);
  ASSERT_TRUE(pasted);
  EXPECT_EQ(pasted->size(), 2u);
  EXPECT_EQ(budget.texts_left_out(), 1);
  EXPECT_EQ(budget.Texts_Left_Out().toStdString(),
            "1 text object was left out: its text has 1,000,000 runs of styles (stretches of one "
            "font and colour), and a text may hold at most 32,768");
}

TEST_F(Graphic_Archive, PicturesKeepTheirPixelsAndSize) {
  QImage grey(50, 20, QImage::Format_RGB32);
  grey.fill(Qt::white);
  for (int x = 0; x < 50; x += 3) grey.setPixel(x, 5, qRgb(x, x, x));
  QImage colour = grey.copy();
  colour.setPixel(7, 7, qRgb(200, 10, 30));
  QImage clear(4, 3, QImage::Format_ARGB32);
  clear.fill(qRgba(0, 0, 0, 0));
  clear.setPixel(1, 1, qRgba(10, 20, 30, 77));
  const struct {
    const char* name;
    Picture picture;
  } cases[] = {
      {"grey", Picture(grey, QSizeF(25, 10))},
      {"colour", Picture(colour, QSizeF(50, 20))},
      {"transparent", Picture(clear, QSizeF(1, 0.75))},
  };
  for (const auto& c : cases) {
    CRDBarcode barcode{CRDGraphic::Bare{}};
    barcode.Set_Barcode_image(c.picture);
    const auto back = Unarchive_Graphic(Archive_Graphic(barcode));
    ASSERT_TRUE(back) << c.name;
    EXPECT_EQ(back->_barcode_image.size(), c.picture.size()) << c.name;
    EXPECT_EQ(back->_barcode_image.image().convertToFormat(QImage::Format_ARGB32),
              c.picture.image().convertToFormat(QImage::Format_ARGB32))
        << c.name;
  }
}

TEST_F(Graphic_Archive, PicturesInOtherRepresentations) {
  QByteArray png;
  {
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    Sample_Picture().image().save(&buffer, "PNG");
  }
  QByteArray lzw_tiff;  // as other programs write pictures: compressed, in strips
  {
    QBuffer buffer(&lzw_tiff);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    writer.setCompression(1);
    ASSERT_TRUE(writer.write(Sample_Picture().image())) << writer.errorString().toStdString();
  }
  const Dictionary rep_class{{"$classname", "NSBitmapImageRep"},
                             {"$classes", Array{"NSBitmapImageRep", "NSImageRep", "NSObject"}}};
  const Dictionary array_class{{"$classname", "NSArray"},
                               {"$classes", Array{"NSArray", "NSObject"}}};
  const struct {
    const char* name;
    QByteArray archive;
    bool readable;
  } cases[] = {
      {"PNG in a bitmap representation",
       Object_Archive(
           "NSImage", {{"NSSize", "{6, 4}"}, {"NSReps", Uid{3}}},
           {Dictionary{{"$class", Uid{4}}, {"NS.objects", Array{Uid{5}}}}, array_class,
            Dictionary{{"$class", Uid{4}}, {"NS.objects", Array{Uid{6}, Uid{7}}}}, 0,
            Dictionary{{"$class", Uid{8}}, {"NSTIFFRepresentation", Uid{9}}}, rep_class, png}),
       true},
      {"plain data as the representation",
       Object_Archive(
           "NSImage", {{"NSSize", "{6, 4}"}, {"NSReps", Uid{3}}},
           {Dictionary{{"$class", Uid{4}}, {"NS.objects", Array{Uid{5}}}}, array_class, png}),
       true},
      {"LZW-compressed TIFF",
       Object_Archive(
           "NSImage", {{"NSSize", "{6, 4}"}, {"NSReps", Uid{3}}},
           {Dictionary{{"$class", Uid{4}}, {"NS.objects", Array{Uid{5}}}}, array_class, lzw_tiff}),
       true},
      {"data that is no picture",
       Object_Archive("NSImage", {{"NSReps", Uid{3}}},
                      {Dictionary{{"$class", Uid{4}}, {"NS.objects", Array{Uid{5}}}}, array_class,
                       QByteArray("garbage")}),
       false},
      {"no representations", Object_Archive("NSImage", {{"NSSize", "{6, 4}"}}), false},
  };
  for (const auto& c : cases) {
    const auto archive = keyed_archive::Unarchiver::Open(c.archive);
    ASSERT_TRUE(archive) << c.name;
    const std::optional<Picture> picture = Decode_Picture(archive->root());
    EXPECT_EQ(bool(picture), c.readable) << c.name;
    if (picture) {
      EXPECT_EQ(picture->size(), QSizeF(6, 4)) << c.name;
      EXPECT_EQ(picture->image().convertToFormat(QImage::Format_ARGB32), Sample_Picture().image())
          << c.name;
    }
  }
}

// A little-endian TIFF of one uncompressed strip of 8-bit samples, one sample a pixel, with
// the photometric interpretation given and every byte `fill`.
QByteArray One_Sample_Tiff(quint16 photometric, quint32 w, quint32 h, char fill) {
  const quint16 tags[][3] = {{256, 4, 0}, {257, 4, 0}, {258, 3, 8},   {259, 3, 1}, {262, 3, 0},
                             {273, 4, 0}, {277, 3, 1}, {278, 4, 0}, {279, 4, 0}};
  const quint32 count = sizeof tags / sizeof tags[0];
  const quint32 pixels_at = 8 + 2 + count * 12 + 4;
  QByteArray out(qsizetype(pixels_at), '\0');
  std::memcpy(out.data(), "II*\0", 4);
  qToLittleEndian<quint32>(8, out.data() + 4);
  qToLittleEndian<quint16>(quint16(count), out.data() + 8);
  for (quint32 i = 0; i < count; ++i) {
    char* e = out.data() + 10 + i * 12;
    const quint16 tag = tags[i][0], type = tags[i][1];
    quint32 value = tags[i][2];
    if (tag == 256) value = w;
    if (tag == 257 || tag == 278) value = h;
    if (tag == 262) value = photometric;
    if (tag == 273) value = pixels_at;
    if (tag == 279) value = w * h;
    qToLittleEndian<quint16>(tag, e);
    qToLittleEndian<quint16>(type, e + 2);
    qToLittleEndian<quint32>(1, e + 4);
    if (type == 3)
      qToLittleEndian<quint16>(quint16(value), e + 8);
    else
      qToLittleEndian<quint32>(value, e + 8);
  }
  return out + QByteArray(qsizetype(w * h), fill);
}

// Tags that do not agree (one sample a pixel, yet RGB) once gave a picture of four bytes a
// pixel of which a quarter was read: the rest was whatever the heap held.
TEST_F(Graphic_Archive, PicturesNeverShowBytesTheyDoNotHold) {
  const Dictionary array_class{{"$classname", "NSArray"},
                               {"$classes", Array{"NSArray", "NSObject"}}};
  for (const quint16 photometric : {quint16(1), quint16(2)}) {
    SCOPED_TRACE(photometric);
    const QByteArray archive = Object_Archive(
        "NSImage", {{"NSSize", "{64, 32}"}, {"NSReps", Uid{3}}},
        {Dictionary{{"$class", Uid{4}}, {"NS.objects", Array{Uid{5}}}}, array_class,
         One_Sample_Tiff(photometric, 64, 32, char(0xFF))});
    const auto unarchiver = keyed_archive::Unarchiver::Open(archive);
    ASSERT_TRUE(unarchiver);
    const std::optional<Picture> picture = Decode_Picture(unarchiver->root());
    if (photometric == 1) ASSERT_TRUE(picture);  // grey: read
    if (!picture) continue;                       // refused
    const QImage image = picture->image().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        ASSERT_EQ(image.pixel(x, y), 0xFFFFFFFFu) << x << "," << y;
  }
}

// The same strip deflated (compression 8), as we write pictures.
QByteArray Deflated_Tiff(quint32 w, quint32 h, char fill) {
  QByteArray tiff = One_Sample_Tiff(1, w, h, fill);
  const quint32 pixels_at = quint32(tiff.size()) - w * h;
  const QByteArray strip = qCompress(QByteArray(qsizetype(w * h), fill)).mid(4);  // zlib stream
  tiff.truncate(pixels_at);
  for (quint32 i = 0; i < 9; ++i) {
    char* e = tiff.data() + 10 + i * 12;
    const quint16 tag = qFromLittleEndian<quint16>(e);
    if (tag == 259) qToLittleEndian<quint16>(8, e + 8);
    if (tag == 279) qToLittleEndian<quint32>(quint32(strip.size()), e + 8);
  }
  return tiff + strip;
}

// Pictures are stored deflated: a barcode picture of 480,000 grey pixels takes a few
// kilobytes (it took 480,000 bytes).
TEST_F(Graphic_Archive, PicturesAreStoredDeflated) {
  QImage bars(1200, 400, QImage::Format_RGB32);
  bars.fill(Qt::white);
  {
    QPainter painter(&bars);
    for (int x = 40; x < 1160; x += 6) painter.fillRect(x, 20, (x / 6) % 3 + 1, 300, Qt::black);
  }
  CRDBarcode barcode{CRDGraphic::Bare{}};
  barcode.Set_Barcode_image(Picture(bars, QSizeF(144, 48)));
  const QByteArray archive = Archive_Graphic(barcode);
  EXPECT_LT(archive.size(), 20000);
  const qsizetype tiff = archive.indexOf(QByteArray("II*\0", 4));
  ASSERT_GE(tiff, 0);
  const char* d = archive.constData() + tiff;
  const quint16 entries = qFromLittleEndian<quint16>(d + qFromLittleEndian<quint32>(d + 4));
  quint16 compression = 0;
  for (quint16 i = 0; i < entries; ++i) {
    const char* e = d + qFromLittleEndian<quint32>(d + 4) + 2 + i * 12;
    if (qFromLittleEndian<quint16>(e) == 259) compression = qFromLittleEndian<quint16>(e + 8);
  }
  EXPECT_EQ(compression, 8);
  const auto back = Unarchive_Graphic(archive);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->_barcode_image.image().convertToFormat(QImage::Format_RGB32), bars);

  // A deflated strip as another writer makes it is read as well.
  const Dictionary array_class{{"$classname", "NSArray"},
                               {"$classes", Array{"NSArray", "NSObject"}}};
  const auto unarchiver = keyed_archive::Unarchiver::Open(Object_Archive(
      "NSImage", {{"NSSize", "{64, 32}"}, {"NSReps", Uid{3}}},
      {Dictionary{{"$class", Uid{4}}, {"NS.objects", Array{Uid{5}}}}, array_class,
       Deflated_Tiff(64, 32, char(0x40))}));
  ASSERT_TRUE(unarchiver);
  const std::optional<Picture> picture = Decode_Picture(unarchiver->root());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->image().convertToFormat(QImage::Format_RGB32),
            [] {
              QImage grey(64, 32, QImage::Format_RGB32);
              grey.fill(qRgb(0x40, 0x40, 0x40));
              return grey;
            }());
}

// ---- What reading may cost ------------------------------------------------------------

QByteArray Png_Of(const QImage& image) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return png;
}

QImage Noise(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x * 7 + y, x ^ y, y * 3));
  return image;
}

// A PNG whose header is whole but whose pixels are damaged: the size is told, decoding
// then fails.
QByteArray Damaged_Png(int w, int h) {
  QByteArray png = Png_Of(Noise(w, h));
  const qsizetype idat = png.indexOf("IDAT");
  EXPECT_GT(idat, 0);
  for (qsizetype i = idat + 8; i < idat + 40 && i < png.size(); ++i) png[i] = char(png[i] ^ 0x5A);
  return png;
}

// An NSImage archive whose list of representations names the same data `times` times.
QByteArray Image_Archive_Naming(const QByteArray& picture, int times) {
  const Dictionary array_class{{"$classname", "NSArray"},
                               {"$classes", Array{"NSArray", "NSObject"}}};
  Array reps;
  for (int i = 0; i < times; ++i) reps.emplace_back(Uid{5});
  return Object_Archive("NSImage", {{"NSSize", "{6, 4}"}, {"NSReps", Uid{3}}},
                        {Dictionary{{"$class", Uid{4}}, {"NS.objects", reps}}, array_class, picture});
}

// The pictures of one reading share a budget of pixels, and each one's size is known before
// it is decoded: 40 archived pictures of 5,600 x 5,600 pixels (a 126 KB design) once took
// 4.8 GB to open.
TEST_F(Graphic_Archive, PicturesShareOneBudgetOfPixels) {
  CRDBarcode ours{CRDGraphic::Bare{}};
  ours.Set_Barcode_image(Picture(Noise(300, 200), QSizeF(30, 20)));
  const std::optional<QByteArray> our_tiff = [&]() -> std::optional<QByteArray> {
    const auto archive = keyed_archive::Unarchiver::Open(Archive_Graphic(ours));
    if (!archive) return std::nullopt;
    const Object image = archive->root().decodeObject("_barcode_image");
    for (const Object& entry : image.decodeObject("NSReps").arrayItems())
      for (const Object& part : entry.arrayItems())
        if (auto data = part.decodeObject("NSTIFFRepresentation").toData()) return data;
    return std::nullopt;
  }();
  ASSERT_TRUE(our_tiff);
  ASSERT_TRUE(our_tiff->startsWith(QByteArray("II*\0", 4)));
  const struct {
    const char* name;
    QByteArray picture;
  } cases[] = {
      {"our TIFF", *our_tiff},
      {"PNG", Png_Of(Noise(300, 200))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Graphic_Read_Budget budget(150000, 100);  // two pictures of 60,000 pixels, not three
    const QByteArray archive = Image_Archive_Naming(c.picture, 1);
    std::vector<bool> read;
    for (int i = 0; i < 4; ++i) {
      const auto unarchiver = keyed_archive::Unarchiver::Open(archive);
      ASSERT_TRUE(unarchiver);
      read.push_back(bool(Decode_Picture(unarchiver->root(), &budget)));
    }
    EXPECT_EQ(read, (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(budget.decodes(), 2) << "pictures beyond the budget are left out unread";
    EXPECT_EQ(budget.Pictures_Left_Out().toStdString(),
              "2 pictures left out unread (the first of 300 x 200 pixels): the pictures of one "
              "design may hold 0.15 million pixels together, one picture 32 million");
    // Alone, each one is read.
    Graphic_Read_Budget fresh(150000, 100);
    EXPECT_TRUE(fresh.Decode_Image(c.picture));
    EXPECT_TRUE(fresh.Pictures_Left_Out().isEmpty());
  }
}

// Picture data that failed once is not decoded again: a list naming the same damaged PNG
// 200 times froze the window for minutes.
TEST_F(Graphic_Archive, AFailingPictureIsDecodedOnce) {
  const QByteArray damaged = Damaged_Png(400, 300);
  {
    QBuffer buffer;
    buffer.setData(damaged);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    ASSERT_EQ(reader.size(), QSize(400, 300));
    ASSERT_TRUE(reader.read().isNull()) << "the sample must fail to decode";
  }
  const QByteArray archive = Image_Archive_Naming(damaged, 200);
  Graphic_Read_Budget budget;
  for (int graphic = 0; graphic < 3; ++graphic) {
    const auto unarchiver = keyed_archive::Unarchiver::Open(archive);
    ASSERT_TRUE(unarchiver);
    EXPECT_FALSE(Decode_Picture(unarchiver->root(), &budget));
  }
  EXPECT_EQ(budget.decodes(), 1);
  EXPECT_TRUE(budget.Pictures_Left_Out().isEmpty()) << "damaged, not left out";
  // Other data is still decoded.
  EXPECT_TRUE(budget.Decode_Image(Png_Of(Noise(4, 3))));
  EXPECT_EQ(budget.decodes(), 2);
}

// Distinct damaged pictures each cost a decode: they count against the budget with the
// pixels their headers give, so that a design of many of them stops at it and says so
// (200 different damaged 5,600 x 5,600 PNGs once took 42 s to open, without a word).
TEST_F(Graphic_Archive, DistinctDamagedPicturesStopAtTheBudget) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  std::vector<QByteArray> damaged;
  for (int i = 0; i < 6; ++i) {
    damaged.push_back(Damaged_Png(400 + i, 300));
    QFile file(dir.filePath(QStringLiteral("damaged%1.png").arg(i)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damaged.back());
  }
  const struct {
    const char* name;
    std::function<bool(Graphic_Read_Budget&, int)> read;
  } cases[] = {
      {"archived pictures",
       [&](Graphic_Read_Budget& budget, int i) { return bool(budget.Decode_Image(damaged[i])); }},
      {"picture files",
       [&](Graphic_Read_Budget& budget, int i) {
         return !budget.Read_Picture_File(dir.filePath(QStringLiteral("damaged%1.png").arg(i))).isNull();
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Graphic_Read_Budget budget(250000, 100);  // two pictures of 120,000 pixels, not three
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(c.read(budget, i));
    EXPECT_EQ(budget.decodes(), 2) << "damaged pictures past the budget were decoded";
    EXPECT_EQ(budget.Pictures_Left_Out().toStdString(),
              "4 pictures left out unread (the first of 402 x 300 pixels): the pictures of one "
              "design may hold 0.25 million pixels together, one picture 32 million, and the 2 "
              "damaged pictures that could not be decoded count as well");
    // What is left still takes a small picture.
    EXPECT_TRUE(budget.Decode_Image(Png_Of(Noise(40, 30))));
  }
}

// Graphics a list refers to many times count at every place: the list stops at the budget.
TEST_F(Graphic_Archive, AListOfGraphicsStopsAtTheBudget) {
  const QByteArray shape = Archive_Graphic(Shape_Control());
  const Array five(5, Value(shape));
  Graphic_Read_Budget budget(1000, 3);
  EXPECT_EQ(graphicsWithProperties(five, &budget).size(), 3u);
  EXPECT_EQ(graphicsWithProperties(five, &budget).size(), 0u) << "the budget is spent";
  EXPECT_EQ(graphicsWithProperties(five).size(), 5u);

  // Pasteboard data naming one graphic more often than a design may hold graphics is
  // refused whole, before any of them is made.
  QTemporaryDir dir;
  QFile archive(dir.filePath("shape"));
  ASSERT_TRUE(archive.open(QIODevice::WriteOnly));
  archive.write(shape);
  archive.close();
  const auto python = test_support::Run_Program(
      test_support::System_Python(),
      {"-c",
       "import plistlib, sys; a = open(sys.argv[1], 'rb').read(); "
       "sys.stdout.buffer.write(plistlib.dumps([a] * int(sys.argv[2]), fmt=plistlib.FMT_BINARY))",
       archive.fileName(), QString::number(Graphic_Read_Budget::Default_Graphics + 1)});
  ASSERT_EQ(python.exit_code, 0) << python.err.toStdString();
  EXPECT_LT(python.out.size(), 64 * 1024);
  CRDError error;
  EXPECT_FALSE(graphicsWithPasteboardData(python.out, &error));
  EXPECT_EQ(error.code, 2);
}

// ---- Pasteboard data ------------------------------------------------------------------

TEST_F(Graphic_Archive, PasteboardDataOfAnEmptyList) {
  const QByteArray data = pasteboardDataWithGraphics({});
  EXPECT_TRUE(data.startsWith("bplist00"));
  EXPECT_EQ(plist::Read(data), Value(Array{}));
  CRDError error;
  error.code = -1;
  const std::optional<Graphic_List> graphics = graphicsWithPasteboardData(data, &error);
  ASSERT_TRUE(graphics);
  EXPECT_TRUE(graphics->empty());
  EXPECT_EQ(error.code, -1);  // no error reported
}

TEST_F(Graphic_Archive, PasteboardDataThatIsNoListOfGraphics) {
  const QByteArray good = pasteboardDataWithGraphics({std::make_shared<Shape_Control>()});
  const struct {
    const char* name;
    QByteArray data;
  } cases[] = {
      {"a dictionary", plist::Write(Dictionary{{"graphics", Array{}}}, plist::Format::Binary)},
      {"a string", plist::Write(Value("graphics"), plist::Format::Xml)},
      {"truncated", good.left(good.size() - 10)},
      {"not a property list", QByteArray("Dirar Voveda 2 pasteboard type")},
      {"nothing", QByteArray()},
  };
  for (const auto& c : cases) {
    CRDError error;
    EXPECT_FALSE(graphicsWithPasteboardData(c.data, &error)) << c.name;
    EXPECT_EQ(error.code, 2) << c.name;
    EXPECT_EQ(error.domain, "VovedaErrorDomain") << c.name;
    EXPECT_FALSE(graphicsWithPasteboardData(c.data)) << c.name;  // no place for the error
  }
}

TEST_F(Graphic_Archive, UnreadableElementsAreSkipped) {
  auto text = std::make_shared<CRDText>();
  text->Text_Value = "kept";
  auto shape = std::make_shared<Shape_Control>();
  shape->_shape_type = "C";
  const QByteArray shape_archive = Archive_Graphic(*shape);

  auto edited = [&](const std::function<void(Tree&)>& edit) {
    Tree tree = Tree_Of(shape_archive);
    edit(tree);
    return tree.bytes();
  };
  QByteArray huge_count("bplist00");
  huge_count += QByteArray::fromHex("af13000001000000000008");  // an array of 2^40 entries
  huge_count += QByteArray::fromHex("08") + QByteArray(6, '\0') + QByteArray::fromHex("0102");
  huge_count += QByteArray::fromHex(
      "0000000000000001"
      "0000000000000000"
      "0000000000000012");

  const Array elements{
      Archive_Graphic(*text),
      "not data",
      42,
      QByteArray("not an archive"),
      shape_archive.left(shape_archive.size() / 2),
      huge_count,
      edited([](Tree& t) {  // a kind this program does not have
        t.objects()[size_t(t.root().find("$class")->uid()->value)].dictionary()->insert(
            "$classname", "QProcess");
      }),
      edited([](Tree& t) { t.root().insert("_fillColor", Uid{100000}); }),  // past the end
      edited([](Tree& t) { t.top.dictionary()->insert("$objects", Array{}); }),
      edited([](Tree& t) { t.top.dictionary()->insert("$archiver", "NSArchiver"); }),
      edited([](Tree& t) {
        t.objects()[1] = Array{1, 2};
      }),  // the root is no object
      shape_archive,
  };
  const Graphic_List graphics = graphicsWithProperties(elements);
  ASSERT_EQ(graphics.size(), 2u);
  EXPECT_EQ(graphics[0]->className(), "CRDText");
  EXPECT_EQ(graphics[0]->Text_Value, "kept");
  EXPECT_EQ(graphics[1]->className(), "Shape_Control");
  EXPECT_EQ(graphics[1]->_shape_type, "C");
}

TEST_F(Graphic_Archive, APictureKeepsItsPathWhenItsFileIsGone) {
  QTemporaryDir dir;
  const QString path = dir.filePath("photo.png");
  ASSERT_TRUE(Sample_Picture().image().save(path));
  auto picture = std::make_shared<CRDImage>();
  picture->Set_Control_File_path(path);
  const QByteArray data = pasteboardDataWithGraphics({picture, std::make_shared<Shape_Control>()});
  ASSERT_TRUE(QFile::remove(path));

  std::optional<Graphic_List> graphics;
  QStringList log;
  {
    test_support::Log_Capture capture;
    graphics = graphicsWithPasteboardData(data);
    log = capture.text();
  }

  ASSERT_TRUE(graphics);
  ASSERT_EQ(graphics->size(), 2u);
  auto restored = std::dynamic_pointer_cast<CRDImage>(graphics->front());
  ASSERT_TRUE(restored);
  EXPECT_EQ(restored->_file_path, path);
  EXPECT_TRUE(restored->_contents.isNull());
  EXPECT_TRUE(log.contains(path)) << log.join("; ").toStdString();
}

// ---- Cross-check with Python's plistlib ----------------------------------------------

TEST_F(Graphic_Archive, PythonReadsOurArchivesAndPasteboardData) {
  QTemporaryDir dir;
  const QString path = dir.filePath("pasteboard.bin");
  auto text = Filled("CRDText");
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pasteboardDataWithGraphics({text, Filled("CRDLine")}));
  }
  const QString script = QStringLiteral(R"(
import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    archives = plistlib.load(f)
for data in archives:
    a = plistlib.loads(data)
    objects = a['$objects']
    root = objects[a['$top']['root'].data]
    cls = objects[root['$class'].data]
    keys = [k for k in root if k != '$class']
    def ref(key): return objects[root[key].data]
    color = ref('_fillColor')
    storage = ref('_Text_contents')
    print(a['$archiver'], a['$version'], objects[0], cls['$classname'], '/'.join(cls['$classes']))
    print(len(keys), keys[0], keys[-1], root['_strokeWidth'], root['qr_size_val'], root['ctrl_is_visible'])
    print(ref('control_ID'), objects[color['$class'].data]['$classname'], color['NSColorSpace'], color['NSRGB'])
    print(objects[storage['NSString'].data], objects[ref('text_ctrl_font')['NSName'].data])
)");
  const auto result =
      test_support::Run_Program(test_support::System_Python(), {"-c", script, path});
  ASSERT_EQ(result.exit_code, 0) << result.err.toStdString();
  const QStringList lines = QString::fromUtf8(result.out).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 8) << result.out.toStdString();
  EXPECT_EQ(lines[0], "NSKeyedArchiver 100000 $null CRDText CRDText/CRDGraphic/NSObject");
  EXPECT_EQ(lines[1], "93 _bounds polygon_type 0.10000000149011612 13 True");
  EXPECT_EQ(lines[2], "PARTY_TITLE NSColor 1 b'1 0 0.5 0.5\\x00'");
  EXPECT_EQ(lines[3], "Happy birthday, dear friend TimesNewRomanPS-ItalicMT");
  EXPECT_EQ(lines[4], "NSKeyedArchiver 100000 $null CRDLine CRDLine/CRDGraphic/NSObject");
  EXPECT_EQ(lines[5], "95 _bounds _pointsDown 0.10000000149011612 13 True");
}

}  // namespace
