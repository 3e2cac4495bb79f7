// New graphics on the canvas (tool buttons, presses with a creation tool, fills) and the
// control-ID operations of the profile and invitation fills.

#include "canvas/CRDGrid.h"
#include "canvas/ui/CRDGraphicView.h"
#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDLine.h"
#include "model/CRDSignature.h"
#include "model/CRDText.h"
#include "model/Common_Functions.h"
#include "model/Design_Window_Services.h"
#include "model/Fonts.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"
#include "model/Undo_Manager.h"

#include <QFileInfo>
#include <QMouseEvent>

namespace {

const QString Text_Class = QStringLiteral("CRDText");
const QString Image_Class = QStringLiteral("CRDImage");

bool is_text(const CRDGraphic* graphic) { return dynamic_cast<const CRDText*>(graphic); }
bool is_image(const CRDGraphic* graphic) { return dynamic_cast<const CRDImage*>(graphic); }

// The profile fields' control IDs.
const QStringList& Profile_IDs() {
  static const QStringList ids = {
      QStringLiteral("Fup_Name"),    QStringLiteral("Fup_Title"),
      QStringLiteral("Fup_Company"), QStringLiteral("Fup_CompanySlogan"),
      QStringLiteral("Fup_Address"), QStringLiteral("Fup_PhoneNO"),
      QStringLiteral("Fup_FaxNo"),   QStringLiteral("Fup_EmailID"),
      QStringLiteral("Fup_Website"), QStringLiteral("Fup_UniqueNo"),
      QStringLiteral("Fup_Photo")};
  return ids;
}

// The shape code a tool gives a new shape, "" for none.
QString shape_code_of_tool(int tool) {
  switch (tool) {
    case 3: return QStringLiteral("R");
    case 4: return QStringLiteral("C");
    case 5: return QStringLiteral("RR");
    case 6: return QStringLiteral("T");
    case 7: return QStringLiteral("D");
    case 13: return QStringLiteral("S");
    case 14: return QStringLiteral("DS");
    case 15: return QStringLiteral("P");
    default: return {};
  }
}

std::shared_ptr<CRDGraphic> new_graphic_of_class(const QString& class_name) {
  if (class_name == QLatin1String("Shape_Control")) return std::make_shared<Shape_Control>();
  if (class_name == QLatin1String("CRDLine")) return std::make_shared<CRDLine>();
  if (class_name == Text_Class) return std::make_shared<CRDText>();
  if (class_name == Image_Class) return std::make_shared<CRDImage>();
  if (class_name == QLatin1String("CRDSignature")) return std::make_shared<CRDSignature>();
  if (class_name == QLatin1String("CRDBarcode")) return std::make_shared<CRDBarcode>();
  return nullptr;
}

// The styling of the invitation fields.
void style_invitation_text(CRDGraphic& text, const QString& ctrl_ID) {
  if (ctrl_ID == QLatin1String("PARTY_TITLE") || ctrl_ID == QLatin1String("PARTY_MARRINGE_INFO")) {
    text.text_alignmnet = 2;
    text.text_ctrl_font = Make_Font(QStringLiteral("TimesNewRomanPS-BoldItalicMT"), 18.0);
  } else if (ctrl_ID == QLatin1String("PARTY_DATE") || ctrl_ID == QLatin1String("PARTY_TIME") ||
             ctrl_ID == QLatin1String("PARTY_VENUE")) {
    text.text_alignmnet = 2;
  } else if (ctrl_ID == QLatin1String("PARTY_FROM")) {
    text.text_alignmnet = 1;
  }
}

}  // namespace

// ---- Creation ----------------------------------------------------------------------------

std::shared_ptr<CRDGraphic> CRDGraphicView::make_graphic(const QString& class_name,
                                                         const QRectF& frame,
                                                         const QString& ctrl_value,
                                                         const QString& ctrl_ID) {
  const QPointF origin = frame.topLeft();
  // The window's defaults (all-text font and colour, picture panel reset) are applied here,
  // on the GUI thread; the constructors ask the window nothing.
  const auto placed = [](std::shared_ptr<CRDGraphic> graphic) {
    return Window_Apply_New_Graphic_Defaults(std::move(graphic), true);
  };
  switch (Window_Current_Control_Tool()) {
    case 8:
      if (QFileInfo::exists(Library_Selected_Image))
        return placed(std::make_shared<CRDImage>(origin, Library_Selected_Image));
      return placed(
          std::make_shared<CRDImage>(origin, Window_Loaded_Picture(QStringLiteral("no_image"))));
    case 9: return placed(std::make_shared<CRDImage>(origin, Library_Selected_Image));
    case 10: {
      auto barcode = std::make_shared<CRDBarcode>(
          origin, Window_Loaded_Picture(QStringLiteral("barcode_sample_img")));
      Window_Apply_New_Graphic_Defaults(barcode);
      // The real symbol of its settings from the start, where the window can make it.
      barcode->Set_Barcode_image(Window_New_Barcode_Picture(barcode));
      return barcode;
    }
    case 11:
      return placed(std::make_shared<CRDSignature>(
          origin, Window_Loaded_Picture(QStringLiteral("sign_sample_img")), QStringLiteral("S")));
    case 12:
      return placed(std::make_shared<CRDSignature>(
          origin, Window_Loaded_Picture(QStringLiteral("fp_sample_img")), QStringLiteral("F")));
    default: break;
  }
  std::shared_ptr<CRDGraphic> graphic =
      Window_Apply_New_Graphic_Defaults(new_graphic_of_class(class_name));
  if (!graphic) return nullptr;
  if (class_name == Text_Class) {
    if (!ctrl_value.isEmpty()) {
      graphic->Text_Value = ctrl_value;
      graphic->_isDrawingStroke = false;
      graphic->_isDrawingFill = false;
      if (Find_Str(ctrl_ID, QStringLiteral("PARTY_"))) style_invitation_text(*graphic, ctrl_ID);
    }
  } else {
    const QString shape_code = shape_code_of_tool(Window_Current_Control_Tool());
    if (!shape_code.isEmpty()) graphic->Set_Shape_Type(shape_code);
  }
  return graphic;
}

void CRDGraphicView::createGraphicOfClass(const QString& class_name, const QMouseEvent* event,
                                          bool use_rect, const QRectF& bound_rect,
                                          const QString& card_side, const QString& ctrl_value,
                                          const QString& ctrl_ID) {
  if (!document_) {
    qWarning("An CRDGraphicView's 'graphics' property is not bound to anything.");
    return;
  }
  if (creation_.open) return;  // one creation at a time
  Undo_Manager* undo = document_->undoManager(side_);
  creation_.open = true;
  creation_.grouped_by_event = undo->groupsByEvent();
  undo->setGroupsByEvent(false);
  undo->beginUndoGrouping();
  // Every side registers its insertions; a discarded creation is then taken back by
  // undoing this group.
  creation_.registers_undo = undo->isUndoRegistrationEnabled();

  changeSelectionIndexes({});

  QRectF frame;
  if (event) {
    QPointF origin = pointFromWidget(event->position());
    if (grid_) origin = grid_->constrainedPoint(origin);
    frame = QRectF(origin, QSizeF(0, 0));
  } else {
    if (use_rect) {
      frame = bound_rect;
      if (ctrl_ID.isEmpty()) frame.moveTopLeft(Window_Control_New_Point(card_side));
    } else {
      frame = QRectF(Window_Control_New_Point(card_side), QSizeF(50, 50));
    }
    if (grid_) {
      // Both corners land on the grid when it snaps.
      const QPointF origin = grid_->constrainedPoint(frame.topLeft());
      const QPointF corner =
          grid_->constrainedPoint(origin + QPointF(frame.width(), frame.height()));
      frame = QRectF(origin, QSizeF(corner.x() - origin.x(), corner.y() - origin.y()));
    }
  }

  std::shared_ptr<CRDGraphic> graphic = make_graphic(class_name, frame, ctrl_value, ctrl_ID);
  if (graphic) {
    creating_ = graphic;
    graphic->control_ID = ctrl_ID;
    graphic->setBounds(frame);
    // A barcode placed without the mouse gets a frame that holds its whole symbol.
    if (auto* barcode = dynamic_cast<CRDBarcode*>(graphic.get()); barcode && !event)
      barcode->Hold_Barcode_Picture();
    if (!insert_graphics({graphic}, {0})) creating_.reset();
  }
  if (creating_ && event) {
    // The user draws the graphic out; the creation ends at the release.
    drag_ = Drag{};
    drag_.kind = Drag_Kind::Create;
    drag_.start = frame.topLeft();
    drag_.graphic = creating_;
    drag_.handle = creating_->creationSizingHandle();
    setNeedsDisplayInRect(creating_->drawingBounds());
    begin_drag_echo();
    return;
  }
  finish_creation();
}

void CRDGraphicView::finish_creation() {
  if (!creation_.open) return;
  const Creation creation = std::exchange(creation_, Creation{});
  const std::shared_ptr<CRDGraphic> graphic = std::exchange(creating_, nullptr);
  Undo_Manager* undo = document_ ? document_->undoManager(side_) : nullptr;
  bool kept = false;
  if (graphic && document_) {
    const QRectF b = graphic->bounds();
    if (b.width() == 0 && b.height() == 0) {
      undo->endUndoGrouping();
      if (creation.registers_undo) {
        // The group holds exactly the insertion: undo it without leaving a redo step.
        undo->disableUndoRegistration();
        undo->undoNestedGroup();
        undo->enableUndoRegistration();
      }
      // Whatever the undo did not take back goes without a trace.
      const int index = index_of(graphic.get());
      if (index >= 0) {
        undo->disableUndoRegistration();
        remove_graphics({index});
        undo->enableUndoRegistration();
      }
    } else {
      const int index = index_of(graphic.get());
      if (index >= 0) {
        changeSelectionIndexes({index});
        startEditingGraphic(graphic);
        kept = true;
      }
      undo->endUndoGrouping();
    }
  } else if (undo) {
    undo->endUndoGrouping();
  }
  if (undo) undo->setGroupsByEvent(creation.grouped_by_event);
  if (kept) selected_graphic_ = graphic;
  if (graphic) setNeedsDisplayInRect(graphic->drawingBounds());
}

// ---- Control IDs -------------------------------------------------------------------------

std::shared_ptr<CRDGraphic> CRDGraphicView::Selcect_Ctrl_With_ID(const QString& control_id) const {
  for (const auto& graphic : graphics()) {
    if (!is_text(graphic.get()) && !is_image(graphic.get())) continue;
    if (graphic->control_ID == control_id) return graphic;
  }
  return nullptr;
}

void CRDGraphicView::ReplaceGraphicText(const QString& class_name, bool use_rect,
                                        const QRectF& bound_rect, const QString& card_side,
                                        const QString& ctrl_value, const QString& ctrl_ID) {
  std::shared_ptr<CRDGraphic> found = Selcect_Ctrl_With_ID(ctrl_ID);
  // A graphic of the other kind than the one the fill puts its value into counts as none.
  if (found && ((class_name == Text_Class && !is_text(found.get())) ||
                (class_name == Image_Class && !is_image(found.get()))))
    found.reset();
  if (!found) {
    createGraphicOfClass(class_name, nullptr, use_rect, bound_rect, card_side, ctrl_value, ctrl_ID);
    return;
  }
  creating_ = found;
  if (class_name == Text_Class) {
    if (!ctrl_value.isEmpty()) {
      found->Text_Value = ctrl_value;
      found->_isDrawingStroke = false;
      found->_isDrawingFill = false;
      found->Text_contents()->replaceCharacters(ctrl_value);
      found->Set_Ctrl_Is_Visible(true);
    }
  } else if (class_name == Image_Class) {
    if (QFileInfo::exists(ctrl_value))
      found->setFilePath(ctrl_value);
    else
      Show_NSLog_Message(ctrl_value);
  }
  drop_picture(found.get());  // written to directly
  startEditingGraphic(found);
  selected_graphic_ = found;
  creating_.reset();
}

void CRDGraphicView::Hide_all_Text_control_FUP_Control() {
  const Graphic_List& list = graphics();
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    CRDGraphic* graphic = it->get();
    if ((is_text(graphic) || is_image(graphic)) && Profile_IDs().contains(graphic->control_ID)) {
      graphic->Set_Ctrl_Is_Visible(false);
      drop_picture(graphic);
    }
  }
}

void CRDGraphicView::delete_all_control() {
  const int count = int(graphics().size());
  if (count == 0) return;
  Index_Set all;
  for (int i = 0; i < count; ++i) all << i;
  remove_graphics(all);
}
