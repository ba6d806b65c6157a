// The font of the program's text windows (scripts and results).
#pragma once

#include <QFont>

// "Courier New" at 8 points; where that family is not installed, the
// metric-compatible "Liberation Mono", so that columns line up at the same
// widths; failing both, the system's fixed-pitch font at the same size.
QFont vop_text_font();
