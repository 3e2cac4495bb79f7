// The design window's e-mail command and the SMTP settings it hands to sending.

#include "window/ui/CRDWindowController.h"

#include "output/Mail_Settings.h"

void CRDWindowController::Get_Email_Details() { Load_Email_Details(); }
