// Faces for the window's Windows fonts where the system lacks them.
#pragma once

#include <QStringList>

namespace kestrum {

// The Windows faces the window asks for: "MS Sans Serif", "Tahoma", "Arial".
QStringList WindowsFaces();

// Faces with Arial's character widths, in the order they are tried:
// Windows' own, then Liberation Sans (Debian's fonts-liberation2, which the
// set-up installs), Arimo (fonts-croscore), Nimbus Sans, Arial itself. A
// wider face such as DejaVu Sans cuts the last digit off an address edit's
// field.
QStringList ArialMetricFaces();

// Maps every face of WindowsFaces() to ArialMetricFaces(), so that texts fit
// their fixed-size controls as they do on Windows. Has no effect where the
// faces exist.
void InstallFontSubstitutes();

}  // namespace kestrum
