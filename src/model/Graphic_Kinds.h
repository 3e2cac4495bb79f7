#pragma once
// The kinds of graphic objects, by the class name their archive records.

#include "model/CRDGraphic.h"

#include <QStringList>

// The six class names a stored graphic may carry.
const QStringList& Graphic_Class_Names();

// A bare graphic (every field zero) of the named kind, for decoding; nullptr for any
// other name, so stored data can never instantiate anything else.
std::shared_ptr<CRDGraphic> Make_Bare_Graphic(const QString& class_name);
