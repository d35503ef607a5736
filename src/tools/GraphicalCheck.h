// --check of the graphical menu (vesamenu.c32): what it draws otherwise than the author meant,
// its background pictures, its font, its resolution and the colours of its entries.
#pragma once

#include <vector>

#include "media/Medium.h"
#include "menu/Model.h"
#include "menu/Start.h"
#include "screen/ColourScreen.h"
#include "tools/Finding.h"

namespace vestalo::tools {

// The findings about a graphical menu, each at the place of its directive: MENU BACKGROUND
// and F-line pictures that are missing, unreadable, or of another size than the screen (the
// loader tiles a smaller one); a FONT that is no PSF font; a MENU RESOLUTION the loader cannot
// set; a MENU COLOR of an entry whose text has a contrast below 3:1 with its background as
// the screen shows them.
std::vector<Finding> CheckGraphicalMenu(const media::Medium& files, const menu::MenuStart& start,
                                        const menu::Model& model);

// The contrast of two colours as the web's accessibility guidelines measure it: the ratio
// of their relative luminances, each plus 0.05, from 1 (the same) to 21 (black and white).
double ContrastRatio(screen::Colour a, screen::Colour b);

}  // namespace vestalo::tools
