#include "profile/ui/Profile_Fill.h"

#include "canvas/ui/CRDGraphicView.h"
#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "profile/Profile_Fields.h"

#include <QFileInfo>

#include <exception>

void Fill_Profile_Side(CRDGraphicView& canvas, User_Profile_Class& record,
                       QSizeF front_card_size, int& tool) {
  try {
    canvas.Hide_all_Text_control_FUP_Control();
    tool = 2;
    const auto members = record.Fields();
    for (int i = 0; i < Profile_Field_Count; ++i) {
      const User_Profile_Class::Field& m = members[size_t(i)];
      const QString value = *m.value;  // as the dialog wrote it: blanks count
      if (value.isEmpty()) continue;
      const QString id = *m.id;
      const bool photo = i == Profile_Photo_Field;
      const bool exists = canvas.Selcect_Ctrl_With_ID(id) != nullptr;
      const QRectF rect = exists ? QRectF() : Profile_Default_Rect(id, front_card_size);
      if (photo) {
        tool = 8;
        Library_Selected_Image = value;
      }
      canvas.ReplaceGraphicText(photo ? QStringLiteral("CRDImage") : QStringLiteral("CRDText"),
                                !exists, rect, QStringLiteral("F"), value, id);
      // Only the object just updated or created takes the binding (a creation the canvas
      // did not keep leaves an older selection behind).
      const std::shared_ptr<CRDGraphic> graphic = canvas.Selected_Graphic();
      if (!graphic || graphic->control_ID != id) continue;
      // An existing photo object whose new picture file exists is shown again.
      if (photo && exists && QFileInfo::exists(value)) graphic->Set_Ctrl_Is_Visible(true);
      if (*m.ds == 1) {
        graphic->Set_Data_source_type(1);
        graphic->Set_Batch_List_Name(*m.ds_name);
        graphic->Set_Batch_List_Index(*m.ds_indx);
        graphic->Set_Excel_binding(false);
      }
      if (*m.xl == 1) {
        graphic->Set_Data_source_type(2);
        graphic->Set_Excel_binding(true);
        graphic->Set_Excel_binding_Index(*m.xl_col_indx);
      }
    }
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
}
