#pragma once
// Graphics with a distinct value in every archived field, for the tests of the graphic
// archive and of the readers that check it.

#include "model/CRDGraphic.h"
#include "model/Picture.h"
#include "model/StyledText.h"

#include <QString>

#include <memory>

namespace test_support {

// 3 x 2 pixels (opaque red, half-transparent green and opaque blue on clear), 6 x 4 points.
Picture Sample_Picture();
// "Happy birthday, dear friend": an italic Times run with kerning and an alignment, and two
// bold Arial runs in colour.
StyledText Sample_Styled_Text();
// Every archived field of a graphic set to a value of its own (fonts the desktop names,
// colours in each colour space, the two samples above).
void Fill(CRDGraphic& graphic);
// A bare graphic of a kind's class name, filled.
std::shared_ptr<CRDGraphic> Filled(const QString& class_name);

}  // namespace test_support
