#include "window/Image_Saving.h"

#include "model/Common_Functions.h"
#include "output/Card_Picture_File.h"

bool Save_gen_image(const Picture& image, const QString& file_path_val) {
  QString failure;
  try {
    if (Write_Card_PNG(image, file_path_val, &failure)) return true;
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
    return false;
  }
  Show_MessageBox(file_path_val);
  Show_MessageBox(failure);
  return false;
}
