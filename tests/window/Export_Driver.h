#pragma once
// Answers the modal runs of an export started from the design window: the export options
// are set as given and confirmed; the after-export box is recorded and closed.

#include "output/ui/Export_Window.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Open_Export_Log.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStringList>

namespace test_support {

// True when the modal run was the export's: *code is its answer. side_row picks the side
// in the options (1 front), combined ticks the combined picture; the type is chosen by its
// radio button, and the resolution (for TIFF) from its list.
inline bool Answer_Export_Run(QObject* modal, CRDWindowController& window, int side_row,
                              bool combined, QStringList& result_boxes, int* code,
                              const QString& type = QStringLiteral("PNG"),
                              const QString& dpi = QString()) {
  if (auto* options = qobject_cast<Export_Window*>(modal)) {
    options->matrix_export_card_side->button(side_row)->click();
    options->export_combined_image_chk->setChecked(combined);
    options->matrix_file_type->button(int(options->fileFormatPopup->findText(type)))->click();
    if (!dpi.isEmpty()) options->saveDPIText->setCurrentText(dpi);
    options->exportOkay();
    *code = 1;
    return true;
  }
  if (qobject_cast<Open_Export_Log*>(modal)) {
    result_boxes << window.Open_Export_Files->_open_log_message->text();
    *code = 0;
    return true;
  }
  return false;
}

}  // namespace test_support
