#pragma once

class QWidget;

// Enables or disables a control. A group box is not greyed as a whole: the controls in
// it (and in group boxes inside it) are enabled or disabled one by one, so their labels
// take the enabled or disabled text colour.
void SetObjEnabled(QWidget* control, bool enabled);
