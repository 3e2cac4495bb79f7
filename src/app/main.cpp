// Starts the card designer.

#include "canvas/CRDRenderingView.h"
#include "model/CRDDocument.h"
#include "model/Shared_Design_State.h"
#include "output/Mail_Sender.h"
#include "platform/Platform.h"
#include "platform/Worker_Runs.h"
#include "platform/ui/Qt_Platform.h"
#include "series/SpreadsheetWriter.h"
#include "window/ui/CRDWindowController.h"

#include <QApplication>

#include <cstdio>

namespace {
bool has_display() {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}
}  // namespace

int main(int argc, char* argv[]) {
  if (!has_display()) {
    std::fprintf(stderr,
                 "lumigrove: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                 "Start it inside a desktop session, or under xvfb-run.\n");
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Lumigrove"));
  QApplication::setOrganizationName(QStringLiteral("dadidividuvu"));
  QApplication::setOrganizationDomain(QStringLiteral("dadidividuvu.com"));

  platform::Qt_Platform qt_platform;
  platform::Install(&qt_platform);
  Remove_Abandoned_Unpack_Folders();
  Remove_Abandoned_Mail_Folders();

  // The document's pictures of its front side come from the card renderer.
  CRDDocument::Set_Image_Data_Renderer(
      [](const QString& type, const Graphic_List& graphics, CRDError* error) -> QByteArray {
        if (type == QLatin1String("com.adobe.pdf"))
          return CRDRenderingView::pdfDataWithGraphics_data(graphics);
        if (type == QLatin1String("public.tiff"))
          return CRDRenderingView::tiffDataWithGraphics(graphics, error);
        return {};
      });
  // The one document makes the one design window, which prepares the resource folder
  // (and ends the program when it cannot).
  CRDDocument::Set_Window_Controller_Factory(
      [](CRDDocument& document) -> QObject* { return new CRDWindowController(&document); });
  int status = 0;
  {
    CRDDocument document;
    document.makeWindowControllers();
    // Every run begins at the start screen; any answer but a new card or an opened design
    // ends the program there.
    if (CRDWindowController* window = CRDWindowController::defaultInstance())
      window->Open_Start_Window();
    status = app.exec();
    // Quitting: every run of workers (export, print, mail) is told to stop and waited for,
    // and workers are answered at once from now on; the window, the document and the
    // application stay until the last worker has ended.
    Stop_SMS_Sending_Now = true;
    platform::Finish_Work_Before_Exit();
  }
  platform::Install(nullptr);
  return status;
}
