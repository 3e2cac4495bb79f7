#pragma once
// The pictures of the print dialog's nine position buttons, plain and chosen, drawn here:
// a small page with a 3 x 3 grid of cells, the button's cell filled. Names in button order
// (top left .. bottom right), as the dialog's resources are named.

#include <QImage>
#include <QStringList>

const QStringList& Position_Picture_Names();           // the nine plain pictures
const QStringList& Position_Picture_Selected_Names();  // the nine chosen ones
// The picture of that name; null for an unknown name.
QImage Position_Picture(const QString& name);
