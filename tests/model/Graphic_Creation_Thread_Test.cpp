// Graphics made on a worker thread ask the design window nothing.

#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDLine.h"
#include "model/CRDSignature.h"
#include "model/CRDText.h"
#include "model/Design_Window_Services.h"
#include "model/Fonts.h"
#include "model/Graphic_Kinds.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"

#include "support/Test_Support.h"
#include "support/Watchdog.h"

#include <mutex>

#include <functional>
#include <thread>
#include <vector>

namespace {

// A design window that records every request made of it.
class Recording_Services : public Design_Window_Services {
 public:
  Recording_Services() { Set_Main_App_wnd(nullptr, this); }
  ~Recording_Services() override { Set_Main_App_wnd(nullptr, nullptr); }

  QStringList calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
  }

  QFont All_Text_font() const override { return note("All_Text_font"), QFont(); }
  CRDColor All_Text_clr() const override { return note("All_Text_clr"), CRDColor(); }
  QPointF Control_New_Point(const QString&) override { return note("Control_New_Point"), QPointF(); }
  QRectF Front_Canvas_Bounds() const override { return note("Front_Canvas_Bounds"), QRectF(); }
  void Set_Align_With_Grid_Enabled(bool) override { note("Set_Align_With_Grid_Enabled"); }
  void Refresh_Canvas() override { note("Refresh_Canvas"); }
  void Reset_Image_Editing_Controls() override { note("Reset_Image_Editing_Controls"); }
  Card_Property* Side_Card_Property(int) override { return note("Side_Card_Property"), nullptr; }
  void Show_Card_Image_Path(const QString&) override { note("Show_Card_Image_Path"); }
  void Show_Card_Properties() override { note("Show_Card_Properties"); }
  QString currentGraphicClass() const override { return note("currentGraphicClass"), QString(); }
  int Current_Control_Tool() const override { return note("Current_Control_Tool"), 0; }
  Picture Loaded_Picture(const QString&) override { return note("Loaded_Picture"), Picture(); }
  void Show_RHS_Properties(const std::shared_ptr<CRDGraphic>&) override {
    note("Show_RHS_Properties");
  }
  void Undo_Redo_Button_state() override { note("Undo_Redo_Button_state"); }
  void Set_Paste_Button_Status() override { note("Set_Paste_Button_Status"); }
  void Open_Barcode_Window() override { note("Open_Barcode_Window"); }
  void Set_Same_Size_Buttons_Enabled(bool) override { note("Set_Same_Size_Buttons_Enabled"); }

 private:
  void note(const char* call) const {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_ << QString::fromLatin1(call);
  }
  mutable std::mutex mutex_;
  mutable QStringList calls_;
};

class Graphic_Creation_Thread : public test_support::Design_Test {};

TEST_F(Graphic_Creation_Thread, EveryKindIsMadeWithoutTheWindow) {
  test_support::Watchdog watchdog("graphics made on workers");
  Recording_Services window;
  const QString picture_file = resource_path() + "/no.png";
  const Picture picture = Picture::fromFile(picture_file);
  const std::vector<std::pair<const char*, std::function<std::shared_ptr<CRDGraphic>()>>> kinds = {
      {"Shape_Control", [] { return std::make_shared<Shape_Control>(); }},
      {"CRDLine", [] { return std::make_shared<CRDLine>(); }},
      {"CRDText", [] { return std::make_shared<CRDText>(); }},
      {"CRDImage", [] { return std::make_shared<CRDImage>(); }},
      {"CRDImage from a file",
       [&] { return std::make_shared<CRDImage>(QPointF(50, 50), picture_file); }},
      {"CRDImage from a picture",
       [&] { return std::make_shared<CRDImage>(QPointF(50, 50), picture); }},
      {"CRDSignature", [] { return std::make_shared<CRDSignature>(); }},
      {"CRDSignature signature",
       [&] { return std::make_shared<CRDSignature>(QPointF(50, 50), picture, "S"); }},
      {"CRDSignature fingerprint",
       [&] { return std::make_shared<CRDSignature>(QPointF(50, 50), picture, "F"); }},
      {"CRDBarcode", [] { return std::make_shared<CRDBarcode>(); }},
      {"CRDBarcode with a picture",
       [&] { return std::make_shared<CRDBarcode>(QPointF(50, 50), picture); }},
      {"CRDText bare", [] { return Make_Bare_Graphic("CRDText"); }},
  };
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.first);
    std::shared_ptr<CRDGraphic> made;
    std::thread worker([&] { made = kind.second()->clone(); });
    worker.join();
    ASSERT_TRUE(made);
    EXPECT_EQ(window.calls(), QStringList());
  }
  // What the window used to hand every new graphic is now the plain default.
  std::shared_ptr<CRDGraphic> text;
  std::thread worker([&] { text = std::make_shared<CRDText>(); });
  worker.join();
  EXPECT_EQ(text->text_ctrl_font, Make_Font(Text_Ctrl_Font, 14));
  EXPECT_EQ(text->txt_clr, CRDColor::blackColor());
}

}  // namespace
