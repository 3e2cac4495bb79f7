#include "model/ui/Set_Obj_Enabled.h"

#include <QGroupBox>
#include <QWidget>

void SetObjEnabled(QWidget* control, bool enabled) {
  if (!control) return;
  if (qobject_cast<QGroupBox*>(control)) {
    for (QWidget* child : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      SetObjEnabled(child, enabled);
    return;
  }
  control->setEnabled(enabled);
}
